// The solver engine: every model's executable (a copy named after the model) and the general simulation
// program "dravex.exe".
#include "engine/engine.h"

#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::error_code ec;
  std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (ec || self.empty()) {
    self = std::filesystem::absolute(argv[0], ec).string();
  }
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return pelorin::engine::RunEngine(self, arguments);
}
