#include "summaries/line_source.h"

#include "platform/text_file.h"

#include <charconv>

namespace pelorin {

bool LineSource::ReadLine(std::string& line) {
  if (file_ != nullptr) {
    return file_->ReadLine(line);
  }
  if (pos_ >= text_.size()) {
    line.clear();
    return false;
  }
  const std::size_t end = text_.find('\n', pos_);
  const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
  line.assign(text_.substr(pos_, stop - pos_));
  pos_ = end == std::string_view::npos ? text_.size() : end + 1;
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return true;
}

bool LineSource::HadError() const {
  return file_ != nullptr && file_->HadError();
}

std::string LineSource::Name() const {
  return file_ != nullptr ? file_->Name() : std::string();
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

bool ReadIntegers(LineSource& source, std::string& line, std::size_t& pos, int count, int* values) {
  for (int i = 0; i < count; ++i) {
    while (true) {
      while (pos < line.size() && IsBlank(line[pos])) {
        ++pos;
      }
      if (pos < line.size()) {
        break;
      }
      if (!source.ReadLine(line)) {
        return false;
      }
      pos = 0;
    }
    std::size_t start = pos;
    if (line[start] == '+') {
      ++start; // from_chars takes a minus sign but not a plus
    }
    const char* first = line.data() + start;
    const char* last = line.data() + line.size();
    const auto [end, error] = std::from_chars(first, last, values[i]);
    if (error != std::errc() || (end != last && !IsBlank(*end)) || (start != pos && *first == '-')) {
      return false;
    }
    pos = static_cast<std::size_t>(end - line.data());
  }
  return true;
}

} // namespace pelorin
