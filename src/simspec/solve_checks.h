#pragma once

#include "platform/user_interface.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct CmfSources;

/// A folder whose path goes into a command file, with what the person calls it ("model folder").
struct CommandFileFolder {
  std::string_view what;
  std::string path;
};

/// The first character of `path` that a command file cannot carry in a file name, quoted or not: "!" starts a
/// comment, "#" a span the solver drops, ";" ends the statement, "=" splits it, and a double quote opens a
/// string; '\0' when there is none.
char CommandFileBreaker(std::string_view path);

/// Checks the folders before a job writes them into its command files: the first one holding a character
/// that a command file cannot carry is reported in an error box ("Cannot " + `action` + ": the model folder
/// ...") and the result is false.
bool CheckCommandFileFolders(std::span<const CommandFileFolder> folders, std::string_view action,
                             UserInterface& ui);

/// The files the post-simulation run writes into the output folder: its command file, its display file when
/// the model makes one, and one file per further output file of the model (".ou1" ... ".ou9", ".o10" ...).
std::vector<std::string> PostSimFiles(const CmfSources& sources);

/// The simulation's files that a post-simulation run could overwrite: its command file, its solution file
/// and every file its output-file lines name.
std::vector<std::string> SimulationFiles(const CmfSources& sources);

/// Why the post-simulation files cannot have the name they have, as a message; empty when they can. An empty
/// name would give files called ".cmf" and ".dis"; a name that makes one of its files one of the
/// simulation's (the same name as the solution, or an output file named like a post-simulation file) would
/// overwrite it.
std::string PostSimNameClash(const CmfSources& sources);

} // namespace pelorin
