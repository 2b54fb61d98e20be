#include "platform/folder_clearing.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

namespace {

// Deeper trees than this are not removed: each level holds a folder open.
constexpr int kMaxTreeDepth = 128;

struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
};

bool SameFolder(const struct stat& st, const Identity& id) {
  return st.st_dev == id.device && st.st_ino == id.inode;
}

// The folder a path resolves to; nothing when it does not exist.
std::optional<Identity> ResolvedIdentity(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    return std::nullopt;
  }
  return Identity{st.st_dev, st.st_ino};
}

std::vector<std::string> HomeFolders() {
  std::vector<std::string> homes;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    homes.emplace_back(home);
  }
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] != '\0') {
    homes.emplace_back(found->pw_dir);
  }
  return homes;
}

// The refusal for a folder already opened (or looked at without following a link) as `st`.
std::optional<std::string> RefusalFor(const struct stat& st,
                                      const std::vector<NamedFolder>& protectedFolders) {
  if (S_ISLNK(st.st_mode)) {
    return "is a symbolic link";
  }
  if (!S_ISDIR(st.st_mode)) {
    return "is not a folder";
  }
  if (const auto root = ResolvedIdentity("/"); root && SameFolder(st, *root)) {
    return "is the root folder";
  }
  for (const std::string& home : HomeFolders()) {
    if (const auto id = ResolvedIdentity(home); id && SameFolder(st, *id)) {
      return "is the home folder";
    }
  }
  for (const NamedFolder& folder : protectedFolders) {
    if (const auto id = ResolvedIdentity(folder.path); id && SameFolder(st, *id)) {
      return "is " + folder.what;
    }
  }
  return std::nullopt;
}

// Opens a folder without following a link in its last part and checks it; -1 with the reason when refused.
int OpenCheckedFolder(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                      std::string& reason) {
  if (folder.empty() || folder.front() != '/') {
    reason = "is not an absolute path";
    return -1;
  }
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) {
    reason = "cannot be read";
    return -1;
  }
  if (auto refusal = RefusalFor(st, protectedFolders)) {
    reason = *refusal;
    return -1;
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    reason = errno == ELOOP || errno == ENOTDIR ? "is a symbolic link" : "cannot be read";
    return -1;
  }
  // The folder opened is the one checked again: it may have been swapped since lstat.
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    reason = "cannot be read";
    return -1;
  }
  if (auto refusal = RefusalFor(st, protectedFolders)) {
    ::close(fd);
    reason = *refusal;
    return -1;
  }
  return fd;
}

// Walks the entries of an open folder (which it takes over and closes), calling `visit` with the folder's
// descriptor, each name and its status (links not followed). False when the folder cannot be read.
template <typename Visit> bool ForEachEntry(int fd, Visit visit) {
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  bool ok = true;
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
      continue;
    }
    struct stat st {};
    if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      ok = false;
      continue;
    }
    ok = visit(::dirfd(dir), std::string(name), st) && ok;
    errno = 0;
  }
  ok = errno == 0 && ok;
  ::closedir(dir);
  return ok;
}

// Removes everything in an open folder (which it takes over and closes). `failed` names the first entry that
// could not be removed, relative to the folder.
bool RemoveContents(int fd, int depth, std::string& failed) {
  return ForEachEntry(fd, [depth, &failed](int parent, const std::string& name, const struct stat& st) {
    const auto fail = [&failed](const std::string& what) {
      if (failed.empty()) {
        failed = what;
      }
      return false;
    };
    if (S_ISDIR(st.st_mode)) {
      const int child = depth < kMaxTreeDepth
                            ? ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                            : -1;
      std::string inner;
      if (child < 0 || !RemoveContents(child, depth + 1, inner)) {
        return fail(inner.empty() ? name : name + "/" + inner);
      }
      return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT || fail(name);
    }
    return ::unlinkat(parent, name.c_str(), 0) == 0 || errno == ENOENT || fail(name);
  });
}

} // namespace

std::optional<std::string> BulkDeleteRefusal(const std::string& folder,
                                             const std::vector<NamedFolder>& protectedFolders) {
  std::string reason;
  const int fd = OpenCheckedFolder(folder, protectedFolders, reason);
  if (fd < 0) {
    return reason;
  }
  ::close(fd);
  return std::nullopt;
}

bool DeleteFilesIn(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                   const FileNameFilter& wanted, ErrorText& errorText) {
  constexpr std::string_view kTag = "[DeleteFilesIn]";
  std::string reason;
  const int fd = OpenCheckedFolder(folder, protectedFolders, reason);
  if (fd < 0) {
    return Fail(errorText, "Files in " + folder + " not deleted: it " + reason, kTag);
  }
  std::string failed;
  const bool read = ForEachEntry(fd, [&](int parent, const std::string& name, const struct stat& st) {
    if (S_ISDIR(st.st_mode) || (wanted && !wanted(name))) {
      return true;
    }
    if (::unlinkat(parent, name.c_str(), 0) != 0 && errno != ENOENT) {
      if (failed.empty()) {
        failed = name;
      }
    }
    return true;
  });
  if (!failed.empty()) {
    return Fail(errorText, "Cannot delete file " + folder + "/" + failed, kTag);
  }
  if (!read) {
    return Fail(errorText, "Cannot read folder " + folder, kTag);
  }
  return true;
}

bool RemoveFolderTree(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                      ErrorText& errorText) {
  constexpr std::string_view kTag = "[RemoveFolderTree]";
  std::string reason;
  const int fd = OpenCheckedFolder(folder, protectedFolders, reason);
  if (fd < 0) {
    return Fail(errorText, "Folder " + folder + " not removed: it " + reason, kTag);
  }
  std::string failed;
  // rmdir removes only an empty folder and never follows a link, whatever happened to the path meanwhile.
  if (!RemoveContents(fd, 1, failed) || ::rmdir(folder.c_str()) != 0) {
    return Fail(errorText, "Cannot remove " + (failed.empty() ? folder : folder + "/" + failed), kTag);
  }
  return true;
}

} // namespace pelorin
