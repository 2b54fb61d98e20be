#include "jobs/console_job.h"

#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace pelorin {

namespace {

// The busy mark is a lock on the folder itself, not on a file in it: clearing the work folder's files cannot
// lose it, and it ends by itself with the last process of the job.
int OpenFolder(const std::string& folder) {
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool TryLock(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// Whether another open holds the folder's lock. A folder that cannot be opened or locked for another reason
// (a file system without locks) tells nothing: no job is taken to run there.
bool FolderBusy(const std::string& folder) {
  const int fd = OpenFolder(folder);
  if (fd < 0) {
    return false;
  }
  const bool free = TryLock(fd);
  const bool busy = !free && errno == EWOULDBLOCK;
  ::close(fd);
  return busy;
}

} // namespace

bool StartConsoleJob(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder, const JobMark& mark, std::unique_ptr<ChildProcess>& process,
                     ErrorText& errorText) {
  auto started = std::make_unique<ChildProcess>();
  ProcessOptions options;
  options.folder = folder;
  options.discardOutput = true;
  // The job inherits our locks of its folders; once we let go of ours, the job's processes alone hold them.
  // A folder that cannot be locked stays unmarked.
  std::vector<std::string> folders = mark.otherFolders;
  folders.insert(folders.begin(), folder);
  for (const std::string& marked : folders) {
    const int lock = OpenFolder(marked);
    if (lock >= 0 && TryLock(lock)) {
      options.keepDescriptors.push_back(lock);
    } else if (lock >= 0) {
      ::close(lock);
    }
  }
  const bool ok = started->Start(program, arguments, options, errorText);
  for (const int lock : options.keepDescriptors) {
    ::close(lock);
  }
  if (!ok) {
    return false;
  }
  std::ofstream(JoinPath(folder, std::string(kRunningJobNote)), std::ios::trunc)
      << mark.description << ", process " << started->Pid() << "\n";
  process = std::move(started);
  return true;
}

std::optional<std::string> RunningJobIn(const std::string& folder) {
  if (folder.empty() || !FolderBusy(folder)) {
    return std::nullopt;
  }
  std::ifstream note(JoinPath(folder, std::string(kRunningJobNote)));
  std::string description;
  std::getline(note, description);
  if (description.empty()) {
    description = "a job whose name was not kept";
  }
  return description;
}

bool ProcessFinished(std::unique_ptr<ChildProcess>& process) {
  if (process && process->Running()) {
    return false;
  }
  process.reset();
  return true;
}

void AbandonedJobs::Add(std::unique_ptr<ChildProcess> process) {
  if (process) {
    processes_.push_back(std::move(process));
  }
}

void AbandonedJobs::Reap() {
  std::erase_if(processes_, [](const std::unique_ptr<ChildProcess>& p) { return !p->Running(); });
}

} // namespace pelorin
