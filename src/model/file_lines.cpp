#include "model/file_lines.h"

#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/text_file.h"
#include "platform/whole_file.h"

#include <algorithm>
#include <filesystem>

namespace pelorin {

namespace {

// Columns are 1-based and inclusive; a column beyond the line reads as blank.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) {
    return {};
  }
  return line.substr(first - 1, last - first + 1);
}

std::string WithoutSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ') {
      out.push_back(c);
    }
  }
  return out;
}

} // namespace

bool FileDescLine::Is(std::string_view name) const {
  return SameText(LogicalName, name);
}

std::string FileDescLine::Type() const {
  return LowerCase(FileType);
}

FileDescLine ParseFileDescLine(std::string_view line) {
  FileDescLine d;
  d.LogicalName = WithoutSpaces(Columns(line, 1, 20));
  d.Direction = Trim(LowerCase(Columns(line, 23, 25)));
  const std::string_view mark = Columns(line, 30, 30);
  d.Updated = mark == "y" || mark == "Y";
  d.FileType = Trim(Columns(line, 33, 35));
  d.FixedName = line.size() >= 38 ? Trim(line.substr(37)) : std::string();
  return d;
}

bool ReadFileSection(const std::string& fileName, FileSection& section) {
  section = FileSection();
  TextFile file;
  ErrorText err;
  if (!TxtOpen(file, fileName, err)) {
    return false;
  }
  std::string line;
  for (int header = 0; header < 2; ++header) {
    if (!file.ReadLine(line)) {
      return !file.HadError();
    }
  }
  bool atMrk = false;
  while (file.ReadLine(line)) {
    if (line == "#MRKFILE") {
      atMrk = true;
      break;
    }
    FileSection::Entry entry;
    entry.Line = line;
    if (!ParseFileDescLine(line).IsPseudo()) {
      std::string description;
      if (file.ReadLine(description)) {
        entry.Description = Trim(description);
      }
    }
    section.Entries.push_back(std::move(entry));
  }
  if (atMrk) {
    section.HasMrkFile = file.ReadLine(line);
    if (section.HasMrkFile) {
      section.MrkFile = Trim(line);
    }
    while (file.ReadLine(line)) {
      if (line == "#STIFILE") {
        section.HasStiFile = file.ReadLine(line);
        if (section.HasStiFile) {
          section.StiFile = Trim(line);
        }
        break;
      }
    }
  }
  const bool ok = !file.HadError();
  TxtClose(file, err);
  return ok;
}

void DescribeLogicalFile(const std::string& modelInfoFile, std::string_view logicalName,
                         std::string& fileType, std::string& description) {
  fileType.clear();
  description.clear();
  FileSection section;
  if (!ReadFileSection(modelInfoFile, section)) {
    return;
  }
  // The whole name column is compared, so a logical name longer than twelve characters is found as well.
  const std::string wanted = WithoutSpaces(logicalName);
  for (const FileSection::Entry& entry : section.Entries) {
    const FileDescLine d = ParseFileDescLine(entry.Line);
    if (SameText(d.LogicalName, wanted)) {
      fileType = d.FileType;
      description = entry.Description;
      return;
    }
  }
}

void SplitFileLine(std::string_view line, std::string& label, std::string& file) {
  label.clear();
  file.clear();
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    return;
  }
  label = Trim(line.substr(0, eq + 1)) + " ";
  const std::size_t semi = line.find(';', eq + 1);
  if (semi == std::string_view::npos) {
    return;
  }
  file = Trim(line.substr(eq + 1, semi - eq - 1));
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
    file = file.substr(1, file.size() - 2);
  }
}

std::string LineFile(std::string_view line) {
  std::string label;
  std::string file;
  SplitFileLine(line, label, file);
  return file;
}

std::string InputLogicalName(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq <= 5) {
    return {};
  }
  return UpperCase(Trim(line.substr(5, eq - 5)));
}

bool IsUpdatedLine(std::string_view line) {
  return StartsWithText(line, "updated ");
}

std::string UpdatedSuffix(int k, UserInterface& ui) {
  if (k <= 1) {
    return {};
  }
  if (k <= 10) {
    return std::string(1, static_cast<char>('a' + k - 2));
  }
  ui.Message(MessageKind::Error, "Too many updated files.\r\nPlease tell the developers of this code.");
  return "?";
}

std::string OutFileExt(int k) {
  return (k <= 9 ? ".ou" : ".o") + std::to_string(k);
}

std::string OutFileName(std::string_view stem, int k) {
  return std::string(stem) + OutFileExt(k);
}

std::string UpdatedName(int k, std::string_view current, std::string_view oldSolution,
                        std::string_view newSolution, UserInterface& ui) {
  const std::string suffix = UpdatedSuffix(k, ui);
  const std::string proposed = std::string(newSolution) + suffix + ".upd";
  if (current.empty()) {
    return proposed;
  }
  const bool shortName = newSolution.size() <= 7 && newSolution.find(' ') == std::string_view::npos;
  if (shortName && SameText(ChangeFileExt(current, ""), std::string(oldSolution) + suffix)) {
    return proposed;
  }
  return std::string(current);
}

bool OutputNameConflicts(const std::vector<std::string>& lines, std::size_t index, std::string_view name) {
  const bool updated = index < lines.size() && IsUpdatedLine(lines[index]);
  const std::string stem = ChangeFileExt(name, "");
  for (std::size_t j = 0; j < lines.size(); ++j) {
    if (j == index) {
      continue;
    }
    std::string label;
    std::string file;
    SplitFileLine(lines[j], label, file);
    if (label == "Solution file = ") {
      file += ".sl4";
    }
    if (updated && IsUpdatedLine(lines[j])) {
      if (SameText(ChangeFileExt(file, ""), stem)) {
        return true;
      }
    } else if (SameText(file, name)) {
      return true;
    }
  }
  return false;
}

std::string PostSimNameFor(std::string_view solutionName) {
  std::string name = ExtractFileName(solutionName);
  if (name.size() > 6) {
    name.resize(6);
  }
  return name + "ps";
}

std::string ResolveRelative(std::string_view folder, std::string_view name) {
  const bool absolute = (!name.empty() && (name.front() == '\\' || name.front() == kPathSeparator)) ||
                        (name.size() >= 2 && name[1] == ':');
  return absolute ? std::string(name) : JoinPath(folder, name);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::optional<std::string> FindCmfStartFile(std::string_view outputDir, std::string_view modelDir) {
  namespace fs = std::filesystem;
  constexpr std::string_view kName = "CMFSTART";
  for (const std::string_view folder : {outputDir, modelDir}) {
    if (folder.empty()) {
      continue;
    }
    const fs::path base{std::string(folder)};
    std::optional<std::string> best;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base, ec)) {
      const std::string name = entry.path().filename().string();
      if (!SameText(name, kName) || !IsFile(entry.path().string())) {
        continue;
      }
      if (!best || name == kName || (ExtractFileName(*best) != kName && name < ExtractFileName(*best))) {
        best = (base / name).string();
      }
    }
    if (best) {
      return best;
    }
  }
  return std::nullopt;
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && (folder.back() == kPathSeparator || folder.back() == '/')) {
    folder.pop_back();
  }
  return folder;
}

std::string FolderOfPath(std::string_view path) {
  return WithoutTrailingSeparator(ExtractFilePath(path));
}

bool ReadLines(const std::string& fileName, std::vector<std::string>& lines) {
  lines.clear();
  TextFile file;
  ErrorText err;
  if (!TxtOpen(file, fileName, err)) {
    return false;
  }
  std::string line;
  while (file.ReadLine(line)) {
    lines.push_back(line);
  }
  // A list saved by an editor that marks its files as UTF-8 would otherwise start with a broken line.
  if (!lines.empty()) {
    lines.front() = std::string(WithoutByteOrderMark(lines.front()));
  }
  const bool ok = !file.HadError();
  return TxtClose(file, err) && ok;
}

bool WriteLines(const std::string& fileName, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text.append(line).push_back('\n');
  }
  ErrorText err;
  return ReplaceFileWhole(fileName, text, "[WriteLines]", err);
}

std::vector<std::string> WithoutBlankLines(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return Trim(line).empty(); });
  return lines;
}

} // namespace pelorin
