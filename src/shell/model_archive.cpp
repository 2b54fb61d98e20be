#include "shell/model_archive.h"

#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/user_interface.h"
#include "shell/catalogue.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <set>
#include <stdio.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct Entry {
  zip_uint64_t index = 0;
  std::string name; // as stored
  std::string bare; // the file name it is extracted to
  zip_uint64_t size = 0;
};

std::string BareName(std::string_view stored) {
  const std::size_t cut = stored.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? stored : stored.substr(cut + 1));
}

bool IsDirectoryEntry(std::string_view stored) {
  return !stored.empty() && (stored.back() == '/' || stored.back() == '\\');
}

bool IsSymbolicLink(zip_t* archive, zip_uint64_t index) {
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
    return false;
  }
  return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

bool CheckEntries(zip_t* archive, std::uint64_t maxBytes, std::vector<Entry>& entries, std::string& reason) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  if (count > 0 && static_cast<std::uint64_t>(count) > kMaxModelArchiveEntries) {
    reason = "it holds " + std::to_string(count) + " entries, more than the " +
             std::to_string(kMaxModelArchiveEntries) + " a model may have";
    return false;
  }
  std::set<std::string> seen;
  std::uint64_t total = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_NAME) == 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0) {
      reason = "entry " + std::to_string(i + 1) + " cannot be read";
      return false;
    }
    const std::string name = stat.name;
    if (IsSymbolicLink(archive, index)) {
      reason = "entry " + name + " is a symbolic link";
      return false;
    }
    if (IsDirectoryEntry(name) && stat.size == 0) {
      continue; // folders are not recreated
    }
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
      reason = "entry " + name + " is encrypted";
      return false;
    }
    Entry entry{index, name, BareName(name), stat.size};
    const bool control = std::any_of(entry.bare.begin(), entry.bare.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (entry.bare.empty() || entry.bare == "." || entry.bare == ".." || control) {
      reason = "entry \"" + name + "\" has no usable file name";
      return false;
    }
    if (!seen.insert(LowerCase(entry.bare)).second) {
      reason = "two entries are named " + entry.bare;
      return false;
    }
    if (entry.size > maxBytes || total + entry.size > maxBytes) {
      reason = "entry " + name + " is too large";
      return false;
    }
    total += entry.size;
    entries.push_back(std::move(entry));
  }
  if (entries.empty()) {
    reason = "it holds no files";
    return false;
  }
  return true;
}

bool ExtractEntry(zip_t* archive, const Entry& entry, const std::string& folder, std::string& reason) {
  const std::unique_ptr<zip_file_t, ZipFileCloser> source(zip_fopen_index(archive, entry.index, 0));
  if (!source) {
    reason = "entry " + entry.name + " cannot be extracted";
    return false;
  }
  const std::string target = JoinPath(folder, entry.bare);
  // A model's solver and the suite's programs keep their ".exe" names and must be runnable once installed.
  const mode_t mode = EndsWithText(entry.bare, ".exe") ? 0755 : 0644;
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) {
    reason = "file " + target + " cannot be created";
    return false;
  }
  std::vector<char> buffer(1 << 16);
  zip_uint64_t written = 0;
  bool ok = true;
  for (;;) {
    const zip_int64_t got = zip_fread(source.get(), buffer.data(), buffer.size());
    if (got < 0) {
      reason = "entry " + entry.name + " cannot be extracted";
      ok = false;
      break;
    }
    if (got == 0) {
      break;
    }
    written += static_cast<zip_uint64_t>(got);
    // The archive's own size is the limit that was checked: data beyond it is a lie.
    if (written > entry.size) {
      reason = "entry " + entry.name + " is larger than the archive says";
      ok = false;
      break;
    }
    for (zip_int64_t done = 0; done < got;) {
      const ssize_t n = ::write(fd, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (n <= 0) {
        reason = "file " + target + " cannot be written";
        ok = false;
        break;
      }
      done += n;
    }
    if (!ok) {
      break;
    }
  }
  // A short entry would be installed as a shorter file than the archive promises: refused like a long one.
  if (ok && written < entry.size) {
    reason = "entry " + entry.name + " is smaller than the archive says";
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    reason = "file " + target + " cannot be written";
    ok = false;
  }
  return ok;
}

// Moves the finished staging folder to its name, never over anything there.
bool MoveIntoPlace(const std::string& staging, const std::string& folder, RenameNoReplaceFn renameNoReplace,
                   std::string& reason) {
  if (renameNoReplace(staging.c_str(), folder.c_str()) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    reason = errno == EEXIST || errno == ENOTEMPTY ? "the folder " + folder + " exists"
                                                   : "the folder " + folder + " cannot be created";
    return false;
  }
  // The file system cannot rename without replacing (NFS): claim the name with an empty folder of our own,
  // which fails when anything is there, then rename over it. A plain rename replaces only an empty folder, so
  // whatever someone might put in the name meanwhile makes it fail and stays.
  if (::mkdir(folder.c_str(), 0700) != 0) {
    reason =
        errno == EEXIST ? "the folder " + folder + " exists" : "the folder " + folder + " cannot be created";
    return false;
  }
  if (::rename(staging.c_str(), folder.c_str()) != 0) {
    ::rmdir(folder.c_str()); // only while it is still our empty folder
    reason = "the folder " + folder + " cannot be created";
    return false;
  }
  return true;
}

} // namespace

int SystemRenameNoReplace(const char* from, const char* to) {
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

std::optional<std::string> ModelArchiveNameProblem(std::string_view name) {
  if (name.empty()) {
    return "is empty";
  }
  if (name.front() == '.') {
    return "starts with \".\"";
  }
  if (std::any_of(name.begin(), name.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
    return "holds a control character";
  }
  if (name.find_first_of("/\\") != std::string_view::npos) {
    return "holds a separator";
  }
  return std::nullopt;
}

bool InstallModelArchive(const std::string& archivePath, const std::string& folder, std::uint64_t maxBytes,
                         std::string& reason, RenameNoReplaceFn renameNoReplace) {
  int error = 0;
  const std::unique_ptr<zip_t, ZipCloser> archive(zip_open(archivePath.c_str(), ZIP_RDONLY, &error));
  if (!archive) {
    reason = "it cannot be read as a ZIP file";
    return false;
  }
  std::vector<Entry> entries;
  if (!CheckEntries(archive.get(), maxBytes, entries, reason)) {
    return false;
  }
  std::error_code ec;
  if (fs::exists(fs::symlink_status(folder, ec))) {
    reason = "the folder " + folder + " exists";
    return false;
  }
  const std::string parent = ExtractFilePath(folder);
  const std::string staging =
      JoinPath(parent, "." + ExtractFileName(folder) + ".partial-" + std::to_string(::getpid()));
  fs::remove_all(staging, ec);
  if (!fs::create_directory(staging, ec)) {
    reason = "the folder " + staging + " cannot be created";
    return false;
  }
  bool ok = true;
  for (const Entry& entry : entries) {
    if (!ExtractEntry(archive.get(), entry, staging, reason)) {
      ok = false;
      break;
    }
  }
  if (ok && !MoveIntoPlace(staging, folder, renameNoReplace, reason)) {
    ok = false;
  }
  if (!ok) {
    fs::remove_all(staging, ec);
  }
  return ok;
}

void AddModel1Click(const std::string& programDir, UserInterface& ui) {
  if (ui.Message(MessageKind::Information, "Click Help if you are unsure what the Add Models command does.",
                 MessageButtons::OkCancelHelp) != MessageAnswer::Ok) {
    return;
  }
  FileDialogRequest request;
  request.title = "Load Model ZIP";
  request.filter = "Zip Files|*.ZIP";
  request.initialDir = programDir;
  request.fileName = "*.ZIP";
  const std::optional<std::string> chosen = ui.OpenFileDialog(request);
  if (!chosen) {
    return;
  }
  const std::string& file = *chosen;
  if (UpperCase(ExtractFileExt(file)) != ".ZIP") {
    ui.Message(MessageKind::Error, file + "\r\ndoes not have ZIP suffix");
    return;
  }
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    ui.Message(MessageKind::Error, "Cannot locate " + file);
    return;
  }
  const std::string fileName = ExtractFileName(file);
  const std::string name = fileName.substr(0, fileName.rfind('.'));
  if (const std::optional<std::string> problem = ModelArchiveNameProblem(name)) {
    ui.Message(MessageKind::Error, "Cannot add a model from\r\n" + file +
                                       "\r\nbecause the name of the model " + *problem +
                                       ".\r\nNothing was installed.");
    return;
  }
  const std::string folder = JoinPath(programDir, name);
  if (fs::exists(fs::symlink_status(folder, ec))) {
    ui.Message(MessageKind::Error,
               "You must remove the existing folder:\r\n" + folder + "\r\nbefore you can add model: " + name);
    return;
  }
  std::string reason;
  if (!InstallModelArchive(file, folder, kMaxModelArchiveBytes, reason)) {
    ui.Message(MessageKind::Error, "Cannot add model " + name + " from\r\n" + file + "\r\nbecause " + reason +
                                       ".\r\nNothing was installed.");
    return;
  }
  ui.Message(MessageKind::Information,
             "Installed model:   " + name +
                 "\r\nYou need to quit and restart Customized Orvane\r\nif you want to "
                 "change to that model.");
  CheckModelFiles(JoinPath(folder, name), ui);
}

} // namespace pelorin
