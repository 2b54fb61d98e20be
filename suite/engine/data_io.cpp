#include "engine/data_io.h"

#include "platform/paths.h"
#include "platform/strings.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pelorin::engine {

namespace {

bool TextFail(ErrorText& errorText, const std::string& file, std::size_t line, const std::string& message) {
  return Fail(errorText, file + ":" + std::to_string(line) + ": error: " + message, "");
}

std::string StripComment(std::string_view line) {
  std::size_t bang = line.find('!');
  std::string s(line.substr(0, bang));
  if (!s.empty() && s.back() == '\r') {
    s.pop_back();
  }
  return s;
}

/// Splits a header line into words; text in double quotes is one word (quotes removed, flagged).
std::vector<std::pair<std::string, bool>> Words(const std::string& line) {
  std::vector<std::pair<std::string, bool>> words;
  std::size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == ',' || c == ';') {
      ++i;
      continue;
    }
    if (c == '"') {
      std::size_t close = line.find('"', i + 1);
      if (close == std::string::npos) {
        close = line.size();
      }
      words.emplace_back(line.substr(i + 1, close - i - 1), true);
      i = close + 1;
      continue;
    }
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',' && line[i] != ';') {
      ++i;
    }
    words.emplace_back(line.substr(start, i - start), false);
  }
  return words;
}

std::string FormatValue(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Labels are written only when every dimension has a set name and one element name per position, as the
// reader asks.
bool HasAllLabels(const DataArray& a) {
  if (a.dims.empty() || a.setNames.size() != a.dims.size() || a.elementNames.size() != a.dims.size()) {
    return false;
  }
  for (std::size_t d = 0; d < a.dims.size(); ++d) {
    if (a.setNames[d].empty() || static_cast<std::int64_t>(a.elementNames[d].size()) != a.dims[d]) {
      return false;
    }
  }
  return true;
}

} // namespace

bool ParseTextData(std::string_view text, const std::string& fileName, DataFile& data, ErrorText& errorText) {
  data = DataFile{};
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) {
      eol = text.size();
    }
    lines.push_back(StripComment(text.substr(pos, eol - pos)));
    pos = eol + 1;
  }
  std::size_t i = 0;
  while (i < lines.size()) {
    auto words = Words(lines[i]);
    if (words.empty()) {
      ++i;
      continue;
    }
    const std::size_t headLine = i + 1;
    if (!SameText(words[0].first, "header") || words.size() < 3 || !words[1].second) {
      return TextFail(errorText, fileName, headLine,
                      "expected a line `header \"NAME\" real SIZES ;` or "
                      "`header \"NAME\" strings COUNT ;`");
    }
    const std::string name = UpperCase(words[1].first);
    if (name.empty() || name.size() > 4) {
      return TextFail(errorText, fileName, headLine,
                      "header name \"" + words[1].first + "\" must have 1 to 4 characters");
    }
    if (data.arrays.count(name) != 0) {
      return TextFail(errorText, fileName, headLine, "header \"" + name + "\" appears twice");
    }
    DataArray array;
    std::size_t w = 2;
    if (w < words.size() && words[w].second) {
      array.longName = words[w++].first;
    }
    if (w >= words.size()) {
      return TextFail(errorText, fileName, headLine, "expected real or strings after the header name");
    }
    const std::string kind = LowerCase(words[w++].first);
    if (kind != "real" && kind != "strings") {
      return TextFail(errorText, fileName, headLine, "expected real or strings but found \"" + kind + "\"");
    }
    array.isStrings = kind == "strings";
    std::int64_t count = 1;
    for (; w < words.size(); ++w) {
      char* end = nullptr;
      errno = 0;
      long long v = std::strtoll(words[w].first.c_str(), &end, 10);
      if (words[w].second || end != words[w].first.c_str() + words[w].first.size() || errno == ERANGE ||
          v < 0 || v > 100'000'000) {
        return TextFail(errorText, fileName, headLine,
                        "size \"" + words[w].first + "\" is not a whole number from 0 to 100000000");
      }
      array.dims.push_back(v);
      count *= v;
      if (count > 100'000'000 || array.dims.size() > 7) {
        return TextFail(errorText, fileName, headLine, "array of header \"" + name + "\" is too large");
      }
    }
    ++i;
    if (array.isStrings) {
      if (array.dims.size() != 1) {
        return TextFail(errorText, fileName, headLine, "a strings header has exactly one size");
      }
      for (std::int64_t k = 0; k < array.dims[0]; ++k, ++i) {
        if (i >= lines.size()) {
          return TextFail(errorText, fileName, lines.size(), "the file ends inside header \"" + name + "\"");
        }
        array.strings.push_back(Trim(lines[i]));
      }
      array.dims.clear();
    } else {
      // Optional labels: one line `set NAME element element ... ;` per dimension, before the values.
      while (i < lines.size()) {
        auto labelWords = Words(lines[i]);
        if (labelWords.empty() || labelWords[0].second || !SameText(labelWords[0].first, "set")) {
          break;
        }
        const std::size_t d = array.setNames.size();
        if (d >= array.dims.size()) {
          return TextFail(errorText, fileName, i + 1,
                          "header \"" + name + "\" has " + std::to_string(array.dims.size()) +
                              " dimensions but more set lines");
        }
        if (labelWords.size() < 2 || labelWords[1].second || labelWords[1].first.size() > 12) {
          return TextFail(errorText, fileName, i + 1,
                          "expected `set NAME element element ... ;` with a set name of 1 to 12 characters");
        }
        std::vector<std::string> elements;
        for (std::size_t k = 2; k < labelWords.size(); ++k) {
          if (labelWords[k].first.empty() || labelWords[k].first.size() > 12) {
            return TextFail(errorText, fileName, i + 1,
                            "element name \"" + labelWords[k].first + "\" must have 1 to 12 characters");
          }
          elements.push_back(labelWords[k].first);
        }
        if (static_cast<std::int64_t>(elements.size()) != array.dims[d]) {
          return TextFail(errorText, fileName, i + 1,
                          "set " + labelWords[1].first + " lists " + std::to_string(elements.size()) +
                              " elements but dimension " + std::to_string(d + 1) + " of header \"" + name +
                              "\" has size " + std::to_string(array.dims[d]));
        }
        array.setNames.push_back(labelWords[1].first);
        array.elementNames.push_back(std::move(elements));
        ++i;
      }
      if (!array.setNames.empty() && array.setNames.size() != array.dims.size()) {
        return TextFail(errorText, fileName, i + 1,
                        "header \"" + name + "\" has " + std::to_string(array.dims.size()) +
                            " dimensions but " + std::to_string(array.setNames.size()) + " set lines");
      }
      array.values.reserve(static_cast<std::size_t>(count));
      while (static_cast<std::int64_t>(array.values.size()) < count) {
        if (i >= lines.size()) {
          return TextFail(errorText, fileName, lines.size(),
                          "the file ends inside header \"" + name + "\" (" +
                              std::to_string(array.values.size()) + " of " + std::to_string(count) +
                              " values read)");
        }
        for (const auto& [word, quoted] : Words(lines[i])) {
          double v = 0.0;
          char* end = nullptr;
          errno = 0;
          v = std::strtod(word.c_str(), &end);
          if (quoted || end != word.c_str() + word.size() || errno == ERANGE || !std::isfinite(v)) {
            return TextFail(errorText, fileName, i + 1, "\"" + word + "\" is not a number");
          }
          if (static_cast<std::int64_t>(array.values.size()) >= count) {
            return TextFail(errorText, fileName, i + 1,
                            "header \"" + name + "\" has more than " + std::to_string(count) + " values");
          }
          array.values.push_back(v);
        }
        ++i;
      }
    }
    data.order.push_back(name);
    data.arrays.emplace(name, std::move(array));
  }
  return true;
}

std::string TextDataBytes(const DataFile& data) {
  std::string out;
  for (const std::string& name : data.order) {
    const DataArray& a = data.arrays.at(name);
    out += "header \"" + name + "\"";
    if (!a.longName.empty()) {
      out += " \"" + a.longName + "\"";
    }
    if (a.isStrings) {
      out += " strings ";
      out += std::to_string(a.strings.size());
      out += " ;\n";
      for (const std::string& s : a.strings) {
        out += s + "\n";
      }
      continue;
    }
    out += " real";
    for (std::int64_t d : a.dims) {
      out += ' ';
      out += std::to_string(d);
    }
    out += " ;\n";
    if (HasAllLabels(a)) {
      for (std::size_t d = 0; d < a.dims.size(); ++d) {
        out += "set " + a.setNames[d];
        for (const std::string& e : a.elementNames[d]) {
          out += ' ';
          out += e;
        }
        out += " ;\n";
      }
    }
    const std::int64_t rowLength = a.dims.empty() ? 1 : std::max<std::int64_t>(1, a.dims[0]);
    for (std::size_t k = 0; k < a.values.size(); ++k) {
      out += FormatValue(a.values[k]);
      out += ((static_cast<std::int64_t>(k) + 1) % rowLength == 0 || k + 1 == a.values.size()) ? "\n" : " ";
    }
  }
  return out;
}

std::string ResolvePathIgnoringCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) {
    return path;
  }
  fs::path p(path);
  fs::path built = p.root_path();
  bool first = true;
  for (const fs::path& part : p.relative_path()) {
    fs::path folder = first && built.empty() ? fs::path(".") : built;
    first = false;
    fs::path candidate = built / part;
    if (!fs::exists(candidate, ec)) {
      auto found = FindFileIgnoringCase(folder.string(), part.string());
      if (!found) {
        return path;
      }
      candidate = built.empty() ? fs::path(ExtractFileName(*found)) : built / ExtractFileName(*found);
    }
    built = candidate;
  }
  return built.string();
}

} // namespace pelorin::engine
