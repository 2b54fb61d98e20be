#include "tools/editor_file.h"

#include "platform/paths.h"
#include "platform/whole_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

bool SaveFail(ErrorText& errorText, const std::string& path, const std::string& reason) {
  return Fail(errorText, "Cannot save " + path + ": " + reason, "[SaveEditorFile]");
}

bool IsLineBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Keeps the previous contents of `target` under `backup`: a second name for the same file where the file
// system allows it (the rename that follows then leaves the old contents there untouched), else a copy.
bool KeepBackup(const std::string& target, const std::string& backup, std::string& reason) {
  if (::unlink(backup.c_str()) != 0 && errno != ENOENT) {
    reason = "cannot replace " + backup + " (" + Reason(errno) + ")";
    return false;
  }
  if (::link(target.c_str(), backup.c_str()) == 0) {
    return true;
  }
  std::error_code ec;
  std::filesystem::copy_file(target, backup, std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    reason = "cannot make the backup " + backup + " (" + ec.message() + ")";
    return false;
  }
  return true;
}

} // namespace

bool IsValidText(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // Runs of ASCII go eight bytes at a time: no high bit set and no zero byte.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      const bool high = (word & 0x8080808080808080ull) != 0;
      const bool zero = ((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull) != 0;
      if (high || zero) {
        break;
      }
      p += 8;
    }
    if (p >= end) {
      break;
    }
    const unsigned char c = *p;
    if (c < 0x80) {
      if (c == 0) {
        return false;
      }
      ++p;
      continue;
    }
    int length = 0;
    std::uint32_t value = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      value = c & 0x07;
    } else {
      return false;
    }
    if (end - p < length) {
      return false;
    }
    for (int i = 1; i < length; ++i) {
      if ((p[i] & 0xC0) != 0x80) {
        return false;
      }
      value = (value << 6) | (p[i] & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
      return false;
    }
    p += length;
  }
  return true;
}

bool LoadEditorFile(const std::string& path, EditorFile& file, ErrorText& errorText) {
  file = EditorFile{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return Fail(errorText, "Cannot open file " + path + ": " + Reason(errno), "[LoadEditorFile]");
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Fail(errorText, "Cannot open file " + path + ": not a file", "[LoadEditorFile]");
  }
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t got = 0;
  bool ok = true;
  // The size is only a hint: a file that grows while it is read is read to its end.
  for (;;) {
    if (got == bytes.size()) {
      bytes.resize(bytes.size() + 65536);
    }
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) {
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (!ok) {
    return Fail(errorText, "read error from file " + path, "[LoadEditorFile]");
  }
  bytes.resize(got);
  file.validText = IsValidText(bytes);
  if (!file.validText) {
    file.text = std::move(bytes);
    return true;
  }
  const std::size_t firstLf = bytes.find('\n');
  file.crlf = firstLf != std::string::npos && firstLf > 0 && bytes[firstLf - 1] == '\r';
  // Drop the CR of each CR LF in place, in one pass.
  std::size_t out = 0;
  for (std::size_t in = 0; in < bytes.size(); ++in) {
    if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n') {
      continue;
    }
    bytes[out++] = bytes[in];
  }
  bytes.resize(out);
  file.text = std::move(bytes);
  return true;
}

std::string SavedText(std::string_view text, bool crlf) {
  std::string saved;
  saved.reserve(text.size() + (crlf ? text.size() / 32 : 0) + 2);
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    while (!line.empty() && IsLineBlank(line.back())) {
      line.remove_suffix(1);
    }
    saved.append(line);
    if (lf == std::string_view::npos) {
      break;
    }
    saved.append(crlf ? "\r\n" : "\n");
    text.remove_prefix(lf + 1);
  }
  return saved;
}

std::string BackupName(const std::string& path) {
  return ChangeFileExt(path, ".BAK");
}

bool SaveEditorFile(const std::string& path, std::string_view text, bool crlf, ErrorText& errorText) {
  const ReplaceOutcome outcome = ReplaceFileWholeSteps(
      path, SavedText(text, crlf), [](const std::string& target, bool exists, std::string& reason) {
        const std::string backup = BackupName(target);
        return !exists || backup == target || KeepBackup(target, backup, reason);
      });
  switch (outcome.step) {
  case ReplaceStep::Done:
    return true;
  case ReplaceStep::NoName:
    return SaveFail(errorText, path, "no file name");
  case ReplaceStep::FollowLink:
    return SaveFail(errorText, path, "cannot follow the link (" + outcome.reason + ")");
  case ReplaceStep::NotAFile:
    return SaveFail(errorText, path, "not a file");
  case ReplaceStep::ReadOnly:
    return SaveFail(errorText, path, "the file is read-only");
  case ReplaceStep::CreateTemporary:
    return SaveFail(errorText, path, "cannot create a file in its folder (" + Reason(outcome.error) + ")");
  case ReplaceStep::Write:
    return SaveFail(errorText, path, "write error (" + Reason(outcome.error) + ")");
  case ReplaceStep::BeforeRename:
    return SaveFail(errorText, path, outcome.reason);
  case ReplaceStep::Rename:
    return SaveFail(errorText, path, "cannot replace the file (" + Reason(outcome.error) + ")");
  }
  return SaveFail(errorText, path, "unknown failure");
}

} // namespace pelorin
