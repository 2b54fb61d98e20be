#include "jobs/console_job.h"

#include <algorithm>

namespace pelorin {

bool StartConsoleJob(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder, std::unique_ptr<ChildProcess>& process,
                     ErrorText& errorText) {
  auto started = std::make_unique<ChildProcess>();
  ProcessOptions options;
  options.folder = folder;
  options.discardOutput = true;
  if (!started->Start(program, arguments, options, errorText)) {
    return false;
  }
  process = std::move(started);
  return true;
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
