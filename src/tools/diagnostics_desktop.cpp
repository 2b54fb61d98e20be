// The report's sections on the desktop and the user's settings: appearance, file associations, special
// folders, and the per-user values file with the environment that stands in for the registry.
#include "platform/paths.h"
#include "platform/strings.h"
#include "tools/diagnostics_internal.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <langinfo.h>
#include <locale.h>
#include <map>
#include <unistd.h>

namespace pelorin::diagnostics {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 9> kAssociatedExtensions = {"CMF", "HAR", "HTM", "PDF", "SL4",
                                                                   "SLC", "MRK", "TXT", "UPD"};

constexpr std::array<std::string_view, 15> kSuiteVariables = {"COMSPEC",
                                                              "FLIB_DVT_BUFFER",
                                                              "GDXCONVERT",
                                                              "GFORTVARSDIR",
                                                              "KVDIR",
                                                              "KVKEEP",
                                                              "KVTEMP",
                                                              "IFORT_COMPILER10",
                                                              "IFORT_COMPILER11",
                                                              "IFORT_COMPILER12",
                                                              "IFORT_COMPILER90",
                                                              "INCLUDE",
                                                              "LIB",
                                                              "TEMP",
                                                              "TMP"};

// The first of the variables that is set and not empty.
std::string LocaleName(const SystemView& view, std::string_view category) {
  for (std::string_view name : {std::string_view("LC_ALL"), category, std::string_view("LANG")}) {
    if (const auto value = EnvValue(view, name); value && !value->empty()) {
      return *value;
    }
  }
  return "C";
}

// Asks the C library about a locale without touching the program's own.
std::string LocaleInfo(const std::string& name, int mask, nl_item item) {
  const locale_t locale = ::newlocale(mask, name.c_str(), static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) {
    return {};
  }
  std::string value = ::nl_langinfo_l(item, locale);
  ::freelocale(locale);
  return value;
}

std::string SeparatorText(char separator) {
  std::string text(1, separator);
  if (separator == ',') {
    text += "  (comma)";
  } else if (separator == '.') {
    text += "  (period)";
  }
  return text;
}

std::string FontLine(const std::string& label, const std::string& font) {
  return label + (font.empty() ? std::string("not known") : font);
}

std::vector<std::string> Folders(const SystemView& view, std::string_view variable,
                                 std::string_view fallback) {
  std::vector<std::string> folders;
  const auto value = EnvValue(view, variable);
  std::string_view list = value && !value->empty() ? std::string_view(*value) : fallback;
  const bool fromSystem = !(value && !value->empty());
  while (!list.empty()) {
    const std::size_t colon = list.find(':');
    const std::string_view entry = list.substr(0, colon);
    if (!entry.empty() && entry.front() == '/') {
      folders.push_back(fromSystem ? SystemPath(view, entry) : std::string(entry));
    }
    if (colon == std::string_view::npos) {
      break;
    }
    list.remove_prefix(colon + 1);
  }
  return folders;
}

// The lines of an ini-like file's section as key -> value, for the desktop's own file formats.
std::map<std::string, std::string> DesktopSection(const std::string& path, std::string_view section) {
  std::map<std::string, std::string> values;
  std::string text;
  if (!ReadSmallFile(path, text, 1u << 20)) {
    return values;
  }
  bool inside = false;
  for (std::string_view line : SplitLines(text)) {
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + std::string(section) + "]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inside && equals != std::string_view::npos) {
      values.emplace(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
  }
  return values;
}

class MimeDatabase {
public:
  explicit MimeDatabase(const SystemView& view) {
    const std::string dataHome = XdgFolder(view, "XDG_DATA_HOME", ".local/share");
    dataDirs_.push_back(dataHome);
    for (std::string& folder : Folders(view, "XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
      dataDirs_.push_back(std::move(folder));
    }
    configDirs_.push_back(XdgFolder(view, "XDG_CONFIG_HOME", ".config"));
    for (std::string& folder : Folders(view, "XDG_CONFIG_DIRS", "/etc/xdg")) {
      configDirs_.push_back(std::move(folder));
    }
    for (const std::string& folder : dataDirs_) {
      ReadGlobs(JoinPath(folder, "mime/globs2"));
    }
  }

  // The command that opens files of an extension, as the desktop's default application for its type.
  std::string OpenCommand(std::string_view extension) const {
    const auto type = types_.find(LowerCase(extension));
    if (type == types_.end()) {
      return {};
    }
    std::vector<std::string> lists;
    for (const std::string& folder : configDirs_) {
      lists.push_back(JoinPath(folder, "mimeapps.list"));
    }
    for (const std::string& folder : dataDirs_) {
      lists.push_back(JoinPath(folder, "applications/mimeapps.list"));
      lists.push_back(JoinPath(folder, "applications/defaults.list"));
    }
    for (const std::string& list : lists) {
      if (std::string command = FromList(list, "Default Applications", type->second); !command.empty()) {
        return command;
      }
    }
    for (const std::string& folder : dataDirs_) {
      if (std::string command =
              FromList(JoinPath(folder, "applications/mimeinfo.cache"), "MIME Cache", type->second);
          !command.empty()) {
        return command;
      }
    }
    return {};
  }

private:
  void ReadGlobs(const std::string& path) {
    std::string text;
    if (!ReadSmallFile(path, text)) {
      return;
    }
    // "weight:type:glob[:flags]", heaviest first; the first file and line to name a pattern wins.
    for (std::string_view line : SplitLines(text)) {
      if (line.empty() || line.front() == '#') {
        continue;
      }
      const std::size_t first = line.find(':');
      const std::size_t second = line.find(':', first == std::string_view::npos ? first : first + 1);
      if (first == std::string_view::npos || second == std::string_view::npos) {
        continue;
      }
      const std::string_view type = line.substr(first + 1, second - first - 1);
      std::string_view glob = line.substr(second + 1);
      glob = glob.substr(0, glob.find(':'));
      if (glob.size() > 2 && glob.substr(0, 2) == "*." &&
          glob.find_first_of("*?[", 2) == std::string_view::npos) {
        types_.emplace(LowerCase(glob.substr(2)), std::string(type));
      }
    }
  }

  std::string FromList(const std::string& list, std::string_view section, const std::string& type) const {
    const auto values = DesktopSection(list, section);
    const auto entry = values.find(type);
    if (entry == values.end()) {
      return {};
    }
    std::string_view desktops = entry->second;
    while (!desktops.empty()) {
      const std::size_t semicolon = desktops.find(';');
      const std::string desktop = Trim(desktops.substr(0, semicolon));
      if (!desktop.empty()) {
        for (const std::string& folder : dataDirs_) {
          const std::string file = JoinPath(folder, "applications/" + desktop);
          std::error_code ec;
          if (fs::is_regular_file(file, ec)) {
            const auto fields = DesktopSection(file, "Desktop Entry");
            const auto exec = fields.find("Exec");
            return (exec != fields.end() ? exec->second + "  " : std::string()) + "(" + desktop + ")";
          }
        }
      }
      if (semicolon == std::string_view::npos) {
        break;
      }
      desktops.remove_prefix(semicolon + 1);
    }
    return {};
  }

  std::vector<std::string> dataDirs_;
  std::vector<std::string> configDirs_;
  std::map<std::string, std::string> types_; // lower-case extension -> type
};

// Whether the user may write the per-user values file, found without changing it: the file opened for
// writing, or a scratch file made and removed in its folder (or the nearest folder that exists).
bool CanWriteUserValues(const std::string& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (errno != ENOENT) {
    return false;
  }
  fs::path folder = fs::path(file).parent_path();
  std::error_code ec;
  while (!folder.empty() && !fs::exists(folder, ec) && folder != folder.parent_path()) {
    folder = folder.parent_path();
  }
  const std::string scratch = (folder / ("TestRegAccess." + std::to_string(::getpid()))).string();
  const int probe = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (probe < 0) {
    return false;
  }
  ::close(probe);
  ::unlink(scratch.c_str());
  return true;
}

void VariableLines(DiagnosticsReport& report, const std::string& which, const SystemView& variables) {
  report.Line("Some variables from the " + which + ":");
  for (std::string_view name : kSuiteVariables) {
    const auto value = EnvValue(variables, name);
    report.Line("    " + PaddedLabel(name, 23, value ? " is set to: " + *value : std::string(" is NOT set")));
  }
  const auto path = EnvValue(variables, "PATH");
  if (!path) {
    report.Line(which + " PATH is not set");
    return;
  }
  std::vector<std::string> lines = PathLines(*path);
  lines.front() = which + " PATH is: " + lines.front();
  for (std::string& line : lines) {
    report.Line(std::move(line));
  }
}

} // namespace

void AppearanceSection(DiagnosticsReport& report, const DiagnosticsFacts& facts, const SystemView& view) {
  report.Section("Appearance");
  const auto& screen = facts.screen;
  if (screen) {
    report.Line("Screen DPI: " + std::to_string(screen->dpi) + "   (pixelsperinch)");
    report.Line("Screen size: " + std::to_string(screen->width) + "x" + std::to_string(screen->height) +
                " pixels");
  } else {
    report.Line("Screen: none (the report was made without a window)");
  }
  report.Line("Locale language: " + LocaleName(view, "LC_MESSAGES"));
  const std::string ctype = LocaleName(view, "LC_CTYPE");
  const std::string codeset = LocaleInfo(ctype, LC_CTYPE_MASK, CODESET);
  report.Line("Locale character set: " +
              (codeset.empty() ? "unknown (locale " + ctype + " is not installed)" : codeset));
  report.Line("OEM code page: none on Linux (terminals use the locale's character set)");
  if (screen) {
    report.Line("System menufont: " + screen->menuFont + "  size: " + std::to_string(screen->menuFontSize) +
                (screen->menuFontFixed ? " (fixed width)" : " (variable width)"));
    report.Line(FontLine("KALVIMO default font: ", screen->defaultFont));
    report.Line(FontLine("KALVIMO default monospace font: ", screen->defaultMonospaceFont));
    report.Line(FontLine("Default system monospace font: ", screen->systemMonospaceFont));
  }
  const std::string numeric = LocaleName(view, "LC_NUMERIC");
  const std::string radix = LocaleInfo(numeric, LC_NUMERIC_MASK, RADIXCHAR);
  report.Line("Locale decimal separator: " + (radix.size() == 1 ? SeparatorText(radix[0])
                                              : radix.empty()
                                                  ? "unknown (locale " + numeric + " is not installed)"
                                                  : radix));
  report.Line("Program decimal separator: " + SeparatorText(facts.programDecimalSeparator));
  report.Line("File extensions are visible (Linux file managers have no setting that hides them)");
  if (screen) {
    report.Line("No of monitors detected: " + std::to_string(screen->monitors.size()));
    for (std::size_t i = 0; i < screen->monitors.size(); ++i) {
      const auto& m = screen->monitors[i];
      const std::string number = "Monitor " + std::to_string(i + 1);
      report.Line(number + " Width " + std::to_string(m.width) + " Height " + std::to_string(m.height) +
                  " Top " + std::to_string(m.top) + " Left " + std::to_string(m.left));
      report.Line(number + (m.primary ? " is the primary monitor." : " is NOT the primary monitor."));
    }
  }
}

void FileAssociationsSection(DiagnosticsReport& report, const SystemView& view) {
  report.Section("File Associations");
  const MimeDatabase database(view);
  for (std::string_view extension : kAssociatedExtensions) {
    const std::string command = database.OpenCommand(extension);
    report.Line(std::string(extension) + "\t" +
                (command.empty() ? std::string("No file association") : command));
  }
}

void SpecialFoldersSection(DiagnosticsReport& report, const SystemView& view) {
  report.Section("Special Folders:");
  const std::string home = HomeFolder(view);
  report.Line(PaddedLabel("Home:", 23, home));
  const std::string config = XdgFolder(view, "XDG_CONFIG_HOME", ".config");
  report.Line(PaddedLabel("Configuration:", 23, config));
  report.Line(PaddedLabel("Data:", 23, XdgFolder(view, "XDG_DATA_HOME", ".local/share")));
  report.Line(PaddedLabel("Cache:", 23, XdgFolder(view, "XDG_CACHE_HOME", ".cache")));
  report.Line(PaddedLabel("State:", 23, XdgFolder(view, "XDG_STATE_HOME", ".local/state")));
  const auto runtime = EnvValue(view, "XDG_RUNTIME_DIR");
  report.Line(PaddedLabel("Runtime:", 23, runtime ? *runtime : std::string("not set")));
  const std::string dirsFile = JoinPath(config, "user-dirs.dirs");
  std::string text;
  if (!ReadSmallFile(dirsFile, text, 65536)) {
    report.Line("No " + dirsFile + ": the desktop's own folders (Desktop, Documents, ...) are not set");
    return;
  }
  constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kUserDirs = {
      {{"DESKTOP", "Desktop:"},
       {"DOCUMENTS", "Documents:"},
       {"DOWNLOAD", "Downloads:"},
       {"MUSIC", "Music:"},
       {"PICTURES", "Pictures:"},
       {"VIDEOS", "Videos:"},
       {"TEMPLATES", "Templates:"},
       {"PUBLICSHARE", "Public:"}}};
  std::map<std::string, std::string> dirs;
  for (std::string_view line : SplitLines(text)) {
    const std::size_t equals = line.find('=');
    if (line.substr(0, 4) != "XDG_" || equals == std::string_view::npos) {
      continue;
    }
    std::string value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    }
    dirs.emplace(std::string(line.substr(4, equals - 4)), value);
  }
  for (const auto& [key, label] : kUserDirs) {
    const auto it = dirs.find(std::string(key) + "_DIR");
    report.Line(PaddedLabel(label, 23, it != dirs.end() ? it->second : std::string("not set")));
  }
}

void RegistrySection(DiagnosticsReport& report, const SystemView& view) {
  report.Section("Registry Settings");
  const std::string values =
      JoinPath(JoinPath(XdgFolder(view, "XDG_CONFIG_HOME", ".config"), "KALVIMO"), "KALVIMO.ini");
  report.Line("Linux has no registry; the per-user values are kept in " + values);
  report.Line(CanWriteUserValues(values) ? "User can write to the per-user values file"
                                         : "User CANNOT write to the per-user values file");
  report.Line("No system-wide registry on Linux (HKEY_LOCAL_MACHINE): nothing to test");
  report.Line("No command-prompt policy on Linux (DisableCMD): job scripts always run");
  VariableLines(report, "process environment", view);
  std::string text;
  const std::string systemFile = SystemPath(view, "/etc/environment");
  if (!ReadSmallFile(systemFile, text, 1u << 20)) {
    report.Line("No system environment file /etc/environment");
    return;
  }
  SystemView system;
  for (std::string_view line : SplitLines(text)) {
    std::string entry = Trim(line);
    if (entry.rfind("export ", 0) == 0) {
      entry = Trim(std::string_view(entry).substr(7));
    }
    const std::size_t equals = entry.find('=');
    if (entry.empty() || entry.front() == '#' || equals == std::string::npos || equals == 0) {
      continue;
    }
    std::string value = entry.substr(equals + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    system.environment.push_back(entry.substr(0, equals) + "=" + value);
  }
  VariableLines(report, "system environment file /etc/environment", system);
}

} // namespace pelorin::diagnostics
