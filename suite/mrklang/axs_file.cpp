#include "mrklang/axs_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace pelorin::mrk {

namespace {
constexpr std::string_view kMagic = "PELORIN AXS 1\n";

bool TakeLine(std::string_view& bytes, std::string_view key, std::string& value) {
  std::size_t end = bytes.find('\n');
  if (end == std::string_view::npos) {
    return false;
  }
  std::string_view line = bytes.substr(0, end);
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  if (line.substr(0, key.size()) != key) {
    return false;
  }
  value = std::string(line.substr(key.size()));
  bytes.remove_prefix(end + 1);
  return true;
}
} // namespace

bool WriteAxs(const std::string& path, const AxsFile& axs, ErrorText& errorText) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    return Fail(errorText, "Cannot create file " + path, "[WriteAxs]");
  }
  out << kMagic << "STAMP " << axs.stamp << "\n"
      << "SOURCE " << axs.sourceName << "\n"
      << "LENGTH " << axs.source.size() << "\n"
      << axs.source;
  out.close();
  if (!out) {
    return Fail(errorText, "write error", "[WriteAxs]");
  }
  return true;
}

bool ParseAxs(std::string_view bytes, AxsFile& axs, ErrorText& errorText) {
  if (bytes.substr(0, kMagic.size()) != kMagic) {
    return Fail(errorText, "not a compiled model file (it does not start with \"PELORIN AXS 1\")",
                "[ParseAxs]");
  }
  bytes.remove_prefix(kMagic.size());
  std::string length;
  if (!TakeLine(bytes, "STAMP ", axs.stamp) || !TakeLine(bytes, "SOURCE ", axs.sourceName) ||
      !TakeLine(bytes, "LENGTH ", length)) {
    return Fail(errorText, "compiled model file has a damaged heading", "[ParseAxs]");
  }
  std::size_t size = 0;
  auto [ptr, ec] = std::from_chars(length.data(), length.data() + length.size(), size);
  if (ec != std::errc() || ptr != length.data() + length.size() || size != bytes.size()) {
    return Fail(errorText, "compiled model file is cut short or has extra bytes", "[ParseAxs]");
  }
  axs.source = std::string(bytes);
  return true;
}

bool ReadAxs(const std::string& path, AxsFile& axs, ErrorText& errorText) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Fail(errorText, "Cannot open file " + path, "[ReadAxs]");
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!ParseAxs(bytes.str(), axs, errorText)) {
    return Fail(errorText, " in file " + path, "[ReadAxs]");
  }
  return true;
}

} // namespace pelorin::mrk
