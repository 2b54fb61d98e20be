#include "simspec/solve_checks.h"

#include "model/file_lines.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "simspec/cmf_writer.h"

namespace pelorin {

char CommandFileBreaker(std::string_view path) {
  const std::size_t at = path.find_first_of("!#;=\"");
  return at == std::string_view::npos ? '\0' : path[at];
}

bool CheckCommandFileFolders(std::span<const CommandFileFolder> folders, std::string_view action,
                             UserInterface& ui) {
  for (const CommandFileFolder& folder : folders) {
    const char breaker = CommandFileBreaker(folder.path);
    if (breaker == '\0') {
      continue;
    }
    ui.Message(MessageKind::Error, "Cannot " + std::string(action) + ": the " + std::string(folder.what) +
                                       "\r\n" + WithoutTrailingSeparator(folder.path) +
                                       "\r\nholds the character \"" + std::string(1, breaker) +
                                       "\", which the solver's command files cannot carry in a file name.\r\n"
                                       "Please use a folder whose path has none of ! # ; = \"");
    return false;
  }
  return true;
}

std::vector<std::string> PostSimFiles(const CmfSources& sources) {
  const std::string display = JoinPath(sources.outputDir, sources.postSimName + ".dis");
  std::vector<std::string> files{PostSimCmfPath(sources.outputDir, sources.postSimName)};
  int outputs = 0;
  for (const std::string& fileLine : sources.fileLines) {
    const FileDescLine file = ParseFileDescLine(fileLine);
    if (file.Direction == "in") {
      continue;
    }
    if (file.Is("(display)")) {
      if (file.Updated) {
        files.push_back(display);
      }
    } else {
      files.push_back(ChangeFileExt(display, OutFileExt(++outputs)));
    }
  }
  return files;
}

std::vector<std::string> SimulationFiles(const CmfSources& sources) {
  std::vector<std::string> files{SimulationCmfPath(sources.outputDir, sources.outputFileLines)};
  for (std::size_t i = 0; i < sources.outputFileLines.size(); ++i) {
    const std::string name = LineFile(sources.outputFileLines[i]);
    files.push_back(ResolveRelative(sources.outputDir, i == 0 ? name + ".sl4" : name));
  }
  return files;
}

std::string PostSimNameClash(const CmfSources& sources) {
  if (Trim(sources.postSimName).empty()) {
    return "The name for post-simulation files is empty: they would be called \".cmf\", \".dis\" and so "
           "on.\r\nPlease give them a name on the Output files page.";
  }
  const std::vector<std::string> simulation = SimulationFiles(sources);
  for (const std::string& file : PostSimFiles(sources)) {
    for (const std::string& taken : simulation) {
      if (SameText(file, taken)) {
        return "The post-simulation files are named \"" + sources.postSimName +
               "\": the post-simulation file\r\n" + file +
               "\r\nwould overwrite the simulation's file of the same name.\r\n"
               "Please give the post-simulation files another name on the Output files page.";
      }
    }
  }
  return {};
}

} // namespace pelorin
