#pragma once

#include "platform/error_text.h"

#include <string>
#include <string_view>

namespace pelorin::mrk {

/// The compiled-model file (".axs", or ".gss" for the general simulation program): the checked model source
/// with the stamp of the compile that produced it. The engine compiles the source into its evaluation code
/// when it loads the file, so a model file never goes out of step with the engine that reads it.
struct AxsFile {
  std::string stamp;      ///< the 40-character time-date stamp shared with the model information file
  std::string sourceName; ///< the model source file it was compiled from
  std::string source;     ///< the model source, exactly as checked
};

/// Writes the compiled-model file. Fails with "Cannot create file " + name or "write error", then
/// "[WriteAxs]".
bool WriteAxs(const std::string& path, const AxsFile& axs, ErrorText& errorText);
/// Reads a compiled-model file; refuses anything that is not one with a message naming the file, "[ReadAxs]".
bool ReadAxs(const std::string& path, AxsFile& axs, ErrorText& errorText);
/// Decodes the bytes of a compiled-model file; "[ParseAxs]" on failure.
bool ParseAxs(std::string_view bytes, AxsFile& axs, ErrorText& errorText);

} // namespace pelorin::mrk
