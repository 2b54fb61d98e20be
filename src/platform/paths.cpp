#include "platform/paths.h"

#include <filesystem>

#include "platform/strings.h"

namespace pelorin {

namespace {

bool IsSeparator(char c) { return c == kPathSeparator || c == '/'; }

std::size_t NameStart(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      return i;
    }
  }
  return 0;
}

} // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  while (!folder.empty() && IsSeparator(folder.back())) {
    folder.remove_suffix(1);
  }
  while (!name.empty() && IsSeparator(name.front())) {
    name.remove_prefix(1);
  }
  std::string joined;
  joined.reserve(folder.size() + 1 + name.size());
  joined.append(folder);
  joined.push_back(kPathSeparator);
  joined.append(name);
  return joined;
}

std::string QuoteIfNeeded(std::string_view path) {
  const std::string trimmed = Trim(path);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
    return trimmed;
  }
  if (trimmed.find_first_of(" &()<>@^") != std::string::npos) {
    return "\"" + trimmed + "\"";
  }
  return trimmed;
}

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFileExt(std::string_view path) {
  const std::string_view name = path.substr(NameStart(path));
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = path.substr(start).rfind('.');
  std::string changed(dot == std::string_view::npos ? path : path.substr(0, start + dot));
  changed.append(ext);
  return changed;
}

std::optional<std::string> FindFileIgnoringCase(std::string_view folder, std::string_view name) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exact = fs::path(std::string(folder)) / std::string(name);
  if (fs::exists(exact, ec)) {
    return exact.string();
  }
  std::optional<std::string> best;
  for (const auto& entry : fs::directory_iterator(std::string(folder.empty() ? "." : folder), ec)) {
    const std::string candidate = entry.path().filename().string();
    if (SameText(candidate, name) && (!best || candidate < ExtractFileName(*best))) {
      best = (fs::path(std::string(folder)) / candidate).string();
    }
  }
  return best;
}

std::optional<std::string> FindPathIgnoringCase(std::string_view path) {
  const std::size_t start = NameStart(path);
  return FindFileIgnoringCase(path.substr(0, start), path.substr(start));
}

} // namespace pelorin
