#include "app/run_files.h"

#include "platform/strings.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The extension (lower-cased, without the dot) when `fileName` is `stem` + "." + extension, else nothing.
bool ExtensionOf(std::string_view fileName, std::string_view stem, std::string& extension) {
  if (stem.empty() || fileName.size() <= stem.size() + 1 || fileName[stem.size()] != '.' ||
      !SameText(fileName.substr(0, stem.size()), stem)) {
    return false;
  }
  extension = LowerCase(fileName.substr(stem.size() + 1));
  return true;
}

bool IsSubtotalExtension(std::string_view ext) {
  return ext.size() == 3 && ((ext.starts_with("su") && AllDigits(ext.substr(2))) ||
                             (ext.front() == 's' && AllDigits(ext.substr(1))) || AllDigits(ext));
}

// A folder not made yet holds nothing of an earlier run.
bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

} // namespace

bool IsSolveOutput(std::string_view fileName, std::string_view solutionStem, std::string_view postSimStem) {
  static constexpr std::string_view kSolutionExtensions[] = {"sl4", "slc", "xac", "log", "cmf",
                                                             "sol", "sli", "so2", "so3", "so4"};
  std::string ext;
  if (ExtensionOf(fileName, solutionStem, ext)) {
    if (std::find(std::begin(kSolutionExtensions), std::end(kSolutionExtensions), ext) !=
            std::end(kSolutionExtensions) ||
        IsSubtotalExtension(ext)) {
      return true;
    }
  }
  if (ExtensionOf(fileName, postSimStem, ext)) {
    return ext == "cmf" || ext == "dis" || (ext.starts_with("ou") && AllDigits(ext.substr(2))) ||
           (ext.size() > 2 && ext.front() == 'o' && AllDigits(ext.substr(1)));
  }
  return false;
}

bool RemoveRunFiles(const std::string& folder, std::string_view solutionStem, std::string_view postSimStem,
                    const std::vector<std::string>& namedFiles,
                    const std::vector<NamedFolder>& protectedFolders, ErrorText& errorText) {
  if (!Exists(folder)) {
    return true;
  }
  const FileNameFilter earlierRun = [&](std::string_view name) {
    return name == "current.svi" || IsSolveOutput(name, solutionStem, postSimStem) ||
           std::find(namedFiles.begin(), namedFiles.end(), name) != namedFiles.end();
  };
  return DeleteFilesIn(folder, protectedFolders, earlierRun, errorText) ||
         AddTag(errorText, " [RemoveRunFiles]");
}

bool RemoveCsvFiles(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                    ErrorText& errorText) {
  if (!Exists(folder)) {
    return true;
  }
  const FileNameFilter csv = [](std::string_view name) { return name.size() > 4 && name.ends_with(".csv"); };
  return DeleteFilesIn(folder, protectedFolders, csv, errorText) || AddTag(errorText, " [RemoveCsvFiles]");
}

std::vector<std::string> LastLinesOfText(std::string_view text, std::size_t count) {
  // From the end backwards: a long log costs one pass over its tail.
  std::vector<std::string> lines;
  std::size_t end = text.size();
  if (end > 0 && text[end - 1] == '\n') {
    --end;
  }
  while (lines.size() < count && end > 0) {
    const std::size_t newline = text.rfind('\n', end - 1);
    const std::size_t start = newline == std::string_view::npos ? 0 : newline + 1;
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(std::move(line));
    if (newline == std::string_view::npos) {
      break;
    }
    end = newline;
  }
  std::reverse(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> LastLines(const std::string& fileName, std::size_t count) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    return {};
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return LastLinesOfText(text, count);
}

} // namespace pelorin
