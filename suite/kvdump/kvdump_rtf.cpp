// kvdump rtf FILE [--html]  a model's rich-text description (.rtf) as plain text, or as the HTML the Text
// page
//                           shows

#include "kvdump/kvdump.h"
#include "shell/rtf_reader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <system_error>

namespace pelorin::kvdump {

namespace {

// Reads the file whole, refusing what is no file or too large for a description, as the HTML reader does.
bool ReadDescription(const std::string& path, std::string& rtf, ErrorText& errorText) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    return Fail(errorText, "Cannot open file " + path);
  }
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxRtfBytes) {
    return Fail(errorText, ec ? "Cannot open file " + path
                              : "The file " + path + " is too large for a model description: " +
                                    std::to_string(size) + " bytes, at most " + std::to_string(kMaxRtfBytes));
  }
  std::ifstream in(path, std::ios::binary);
  rtf.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    return Fail(errorText, "read error from file " + path);
  }
  return true;
}

} // namespace

int RunRtf(const Invocation& call) {
  std::vector<std::string> files;
  bool html = false;
  for (const std::string& arg : call.args) {
    if (arg == "--html") {
      html = true;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 1) {
    call.err << "usage: kvdump rtf FILE [--html]\n";
    return 2;
  }
  std::string out;
  ErrorText errorText;
  bool ok = false;
  if (html) {
    ok = RtfFileToHtml(files[0], out, errorText);
  } else {
    std::string rtf;
    ok = ReadDescription(files[0], rtf, errorText) && RtfToPlainText(rtf, out, errorText);
  }
  if (!ok) {
    call.err << errorText << "\n";
    return 1;
  }
  call.out << out;
  return 0;
}

} // namespace pelorin::kvdump
