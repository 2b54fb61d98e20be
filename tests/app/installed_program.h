#pragma once

#include "support/temp_dir.h"

#include <string>

namespace pelorin::test {

/// A program folder as installed: the companion programs, the help page, vital.fil, and models whose
/// information files (with a file section of three input files, the first updated) and auxiliary table files
/// come from the project's writers with matching stamps, their data files, and settings that name the model
/// as another machine wrote them (to be relocated).
class InstalledProgram {
public:
  InstalledProgram();

  /// Writes a file below the program folder, making its folders.
  void Write(const std::string& relative, const std::string& text) const;
  /// Installs model `name` with `sets` sets of 10 elements and `variables` variables over two sets each.
  void InstallModel(const std::string& name, int sets, int variables) const;

  TempDir dir;
  std::string programDir;
};

} // namespace pelorin::test
