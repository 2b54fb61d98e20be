#include "harmake/har_text.h"

#include "datafiles/har_data.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace pelorin {

namespace {

// Splits a line into words: blanks separate, double quotes group, "#" outside quotes ends the line.
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& problem) {
  words.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        problem = "unclosed double quote";
        return false;
      }
      words.emplace_back(line.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      std::size_t end = i;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') {
        ++end;
      }
      words.emplace_back(line.substr(i, end - i));
      i = end;
    }
  }
  return true;
}

std::optional<std::int64_t> ToInt(const std::string& word) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> ToReal(const std::string& word) {
  double value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size()) {
    return std::nullopt;
  }
  return value;
}

struct Pending {
  HarHeader header;
  std::string type;
  std::vector<double> values;
  bool shapeGiven = false;
};

bool Finish(Pending& pending, std::string& problem) {
  HarHeader& h = pending.header;
  const std::string& type = pending.type;
  const std::vector<double>& values = pending.values;
  if (type == "1C") {
    h.kind = HarKind::Strings;
    if (!values.empty()) {
      problem = "a 1C header holds strings, not values";
      return false;
    }
    return true;
  }
  if (type == "2I" || type == "2R") {
    if (!pending.shapeGiven) {
      problem = "a " + type + " header needs \"shape ROWS COLS\"";
      return false;
    }
    h.kind = type == "2I" ? HarKind::IntMatrix : HarKind::RealMatrix;
  } else if (type == "RE" || type == "RL") {
    h.kind = HarKind::Real;
    h.labelled = type == "RE";
  } else if (type == "DE" || type == "DL") {
    h.kind = HarKind::Double;
    h.labelled = type == "DE";
  } else {
    problem = "unknown type \"" + type + "\" (use 1C, 2I, 2R, RE, RL, DE or DL)";
    return false;
  }
  if (!h.labelled) {
    for (const HarDim& dim : h.dims) {
      if (dim.status == 'k' || dim.status == 'e') {
        problem = "an " + type + " header has no set labels; use RE or DE";
        return false;
      }
    }
  }
  for (double v : values) {
    if (h.kind == HarKind::IntMatrix) {
      if (v != std::floor(v) || std::fabs(v) > 2147483647.0) {
        problem = "a 2I header holds whole numbers";
        return false;
      }
      h.ints.push_back(static_cast<std::int32_t>(v));
    } else if (h.kind == HarKind::Double) {
      h.doubles.push_back(v);
    } else {
      h.reals.push_back(static_cast<float>(v));
    }
  }
  std::int64_t expected = 1;
  if (h.kind == HarKind::IntMatrix || h.kind == HarKind::RealMatrix) {
    expected = h.rows * h.cols;
  } else {
    for (const HarDim& dim : h.dims) {
      expected *= dim.size;
    }
  }
  if (static_cast<std::int64_t>(values.size()) != expected) {
    problem = "header " + h.name + " needs " + std::to_string(expected) + " values but has " +
              std::to_string(values.size());
    return false;
  }
  return true;
}

} // namespace

bool ParseHarText(std::string_view text, HarText& result, ErrorText& errorText) {
  result = HarText{};
  std::optional<Pending> pending;
  std::optional<std::string> program;
  std::vector<std::string> history;
  int bookkeepingLine = 0;
  int historyLine = 0;
  std::map<std::string, int> headerLines; // normalised name -> line of its "header" statement
  std::vector<std::string> words;
  std::string problem;
  int lineNumber = 0;
  std::size_t start = 0;
  auto fail = [&](const std::string& message) {
    return Fail(errorText, "line " + std::to_string(lineNumber) + ": " + message, " [ParseHarText]");
  };
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!SplitWords(line, words, problem)) {
      return fail(problem);
    }
    if (words.empty()) {
      continue;
    }
    const std::string& key = words[0];
    const std::size_t args = words.size() - 1;
    if (!pending) {
      if (key == "flavour" && args == 1 && (words[1] == "lahey" || words[1] == "fujitsu")) {
        result.options.isFujitsu = words[1] == "fujitsu";
      } else if (key == "bookkeeping" && args == 1) {
        program = words[1];
        bookkeepingLine = bookkeepingLine == 0 ? lineNumber : bookkeepingLine;
      } else if (key == "history" && args == 1) {
        history.push_back(words[1]);
        historyLine = historyLine == 0 ? lineNumber : historyLine;
      } else if (key == "header" && (args == 1 || args == 2)) {
        pending.emplace();
        pending->header.name = words[1];
        pending->header.longName = args == 2 ? words[2] : "";
        if (words[1].empty() || words[1].size() > 4) {
          return fail("a header name has 1 to 4 characters");
        }
        // A reader finds only the first of two headers of one name; the second would be lost unseen.
        const auto [first, added] = headerLines.emplace(NormalHeaderName(words[1]), lineNumber);
        if (!added) {
          return fail("header " + words[1] + " is given twice: at line " + std::to_string(first->second) +
                      " and at line " + std::to_string(lineNumber));
        }
      } else {
        return fail("expected flavour, bookkeeping, history or header, found \"" + key + "\"");
      }
      continue;
    }
    HarHeader& h = pending->header;
    if (key == "end" && args == 0) {
      if (pending->type.empty()) {
        return fail("header " + h.name + " has no type");
      }
      if (!Finish(*pending, problem)) {
        return fail(problem);
      }
      result.headers.push_back(std::move(h));
      pending.reset();
    } else if (key == "type" && args >= 1) {
      pending->type = words[1];
      for (std::size_t i = 2; i < words.size(); ++i) {
        if (words[i] == "sparse") {
          h.sparse = true;
        } else if (words[i] == "v3") {
          h.version3 = true;
        } else {
          return fail("unknown type option \"" + words[i] + "\"");
        }
      }
    } else if (key == "coefficient" && args == 1) {
      h.coefficient = words[1];
    } else if (key == "set" && args >= 1) {
      h.dims.push_back(SetDim(words[1], std::vector<std::string>(words.begin() + 2, words.end())));
    } else if (key == "size" && (args == 1 || args == 2)) {
      const auto size = ToInt(words[1]);
      if (!size || *size < 0) {
        return fail("a size is a whole number of at least 0");
      }
      h.dims.push_back(SizeDim(*size, args == 2 ? words[2] : ""));
    } else if (key == "element" && args == 2) {
      h.dims.push_back(ElementDim(words[1], words[2]));
    } else if (key == "shape" && args == 2) {
      const auto rows = ToInt(words[1]);
      const auto cols = ToInt(words[2]);
      if (!rows || !cols || *rows < 0 || *cols < 0) {
        return fail("shape needs two whole numbers");
      }
      h.rows = *rows;
      h.cols = *cols;
      pending->shapeGiven = true;
    } else if (key == "length" && args == 1) {
      const auto length = ToInt(words[1]);
      if (!length || *length < 1) {
        return fail("a string length is a whole number of at least 1");
      }
      h.stringLength = *length;
    } else if (key == "string" && args == 1) {
      h.strings.push_back(words[1]);
    } else if (key == "values" || (!key.empty() && (std::isdigit(static_cast<unsigned char>(key[0])) ||
                                                    key[0] == '-' || key[0] == '+' || key[0] == '.'))) {
      for (std::size_t i = key == "values" ? 1 : 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::size_t star = word.find('*');
        std::int64_t repeat = 1;
        std::string number = word;
        if (star != std::string::npos) {
          const auto count = ToInt(word.substr(0, star));
          if (!count || *count < 0 || *count > 100'000'000) {
            return fail("bad repeat count in \"" + word + "\"");
          }
          repeat = *count;
          number = word.substr(star + 1);
        }
        const auto value = ToReal(number);
        if (!value) {
          return fail("\"" + word + "\" is not a number");
        }
        pending->values.insert(pending->values.end(), static_cast<std::size_t>(repeat), *value);
      }
    } else {
      return fail("unexpected \"" + key + "\" in header " + h.name);
    }
  }
  if (pending) {
    return fail("header " + pending->header.name + " is not ended by \"end\"");
  }
  // The bookkeeping statements make headers of their own, which a header of the same name would repeat.
  const std::pair<const char*, int> made[] = {
      {"XXCD", bookkeepingLine}, {"XXCR", bookkeepingLine}, {"XXCP", bookkeepingLine}, {"XXHS", historyLine}};
  for (const auto& [name, statementLine] : made) {
    const auto given = headerLines.find(name);
    if (statementLine != 0 && given != headerLines.end()) {
      lineNumber = given->second;
      return fail("header " + std::string(name) + " is given twice: made by the statement at line " +
                  std::to_string(statementLine) + " and at line " + std::to_string(given->second));
    }
  }
  if (program) {
    std::vector<HarHeader> bookkeeping = BookkeepingHeaders(*program, NowText(), history);
    result.headers.insert(result.headers.begin(), bookkeeping.begin(), bookkeeping.end());
  } else if (!history.empty()) {
    result.headers.insert(result.headers.begin(), MakeStrings("XXHS", "File History", history, 60));
  }
  return true;
}

} // namespace pelorin
