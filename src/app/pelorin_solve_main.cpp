// pelorin-solve: solves one simulation of an installed model without a window (see headless_solve.h).

#include "app/headless_solve.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
  interrupted.store(true);
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      std::cout << pelorin::SolveUsage();
      return 0;
    }
  }
  pelorin::SolveRequest request;
  std::string error;
  if (!pelorin::ParseSolveArguments(arguments, request, error)) {
    std::cerr << "pelorin-solve: " << error << "\n" << pelorin::SolveUsage();
    return pelorin::kSolveBadArguments;
  }
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  request.programDir =
      ec ? std::filesystem::absolute(argv[0]).parent_path().string() : self.parent_path().string();
  if (!request.addModelArchive.empty()) {
    return pelorin::RunHeadlessAddModel(request, std::cerr);
  }

  // Control-C gives the job up as the wait dialog's Cancel does: the job itself is left alone.
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  return pelorin::RunHeadlessSolve(request, std::cout, std::cerr, &interrupted);
}
