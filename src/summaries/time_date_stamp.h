#pragma once

#include "platform/error_text.h"

#include <string>

namespace pelorin {

class UserInterface;

/// Where a time-date stamp is kept: a line of a text file (the model information file, key "#TMDATE"), or a
/// header of a Header Array file (the auxiliary table file, key "DTXT").
enum class StampKind { Text, Binary };

/// A stamp as looked up: "?" and not found until the lookup meets it; at most 40 characters, trailing blanks
/// removed.
struct TimeDateStamp {
  std::string stamp = "?";
  bool found = false;
};

/// Reads one stamp. In a text file the stamp is the first 40 characters of the line after the line that
/// equals `key` exactly; in a Header Array file it is the header `key` when that holds exactly one string of
/// length 40 (type "1C"). A missing stamp is success with found false; only a file that cannot be opened or
/// read fails, ending with "[GetTimeDateStamp]".
bool GetTimeDateStamp(StampKind kind, const std::string& fileName, const std::string& key,
                      TimeDateStamp& stamp, ErrorText& errorText);

/// Compares the stamps of a model information file ("#TMDATE") and its auxiliary table file ("DTXT"): `same`
/// is true when both were found and are equal. When they differ and `quiet` is off, shows the error message
/// naming both files, with the given help topic. Fails (showing nothing) only when a file cannot be read.
bool MinAxtCompatible(const std::string& minFile, const std::string& axtFile, int helpTopic, bool quiet,
                      UserInterface& ui, bool& same, ErrorText& errorText);

} // namespace pelorin
