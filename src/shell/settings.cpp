#include "shell/settings.h"

#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/strings.h"
#include "platform/user_interface.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kOptions = "Options";
constexpr std::string_view kEnvironment = "Environment";
constexpr std::string_view kMethod = "Solution Method";
constexpr int kOrvaneVersion = 240;

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::string Unquoted(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

// A list read from the settings whose lines are all blank once spaces are removed is an empty text.
void EmptyIfBlank(std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.find_first_not_of(' ') != std::string::npos) {
      return;
    }
  }
  lines.clear();
}

std::vector<std::string> WithoutBlankLines(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return Trim(line).empty(); });
  return lines;
}

bool IsNumberedKey(std::string_view key) {
  return !key.empty() && key.find_first_not_of("0123456789") == std::string_view::npos;
}

// Reads a numbered list up to its first missing number. Numbered keys after the gap are not lines of it;
// they are shown in a warning, with their lines, since dropping a shock or a data file without a word gives
// a wrong result (and the list is written back without them).
std::vector<std::string> ReadNumberedList(const ProfileFile& profile, std::string_view section,
                                          const std::string& path, UserInterface& ui, IniOptions& options) {
  constexpr std::size_t kShown = 20;
  std::vector<std::string> lines = profile.ReadList(section);
  std::string keys;
  std::string shown;
  std::size_t ignored = 0;
  for (const std::string& key : profile.ReadSectionKeys(section)) {
    if (!IsNumberedKey(key)) {
      continue;
    }
    std::size_t number = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (ec == std::errc() && end == key.data() + key.size() && number < lines.size() &&
        key == std::to_string(number)) {
      continue;
    }
    keys += (keys.empty() ? "" : ", ") + key;
    if (++ignored <= kShown) {
      shown += "\r\n" + key + "=" + profile.ReadString(section, key, "");
    }
  }
  if (ignored == 0) {
    return lines;
  }
  if (ignored > kShown) {
    shown += "\r\n(and " + std::to_string(ignored - kShown) + " more)";
  }
  options.listGaps.push_back("[" + std::string(section) + "] " + keys);
  ui.Message(MessageKind::Warning,
             "The settings file " + path + " has no key " + std::to_string(lines.size()) + " in section [" +
                 std::string(section) +
                 "], so its list ends there.\r\nThese lines after the gap were ignored:" + shown);
  return lines;
}

bool ParseReal(std::string_view text, float& value) {
  const std::string trimmed = Trim(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
  }
  if (digits.empty()) {
    return false;
  }
  const char* end = digits.data() + digits.size();
  double number = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), end, number, std::chars_format::general);
  // A minimum length that is not finite would make the solver's halving never end.
  if (ec != std::errc() || ptr != end || !std::isfinite(number) || std::fabs(number) > 3.0e38) {
    return false;
  }
  value = static_cast<float>(number);
  return true;
}

std::string RealText(float value) {
  char buffer[64];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("0.001");
}

std::string ResolveTextEditor(const std::string& fromFile, const std::string& programDir) {
  std::string editor = fromFile;
  if (!editor.empty() && !FileExists(editor)) {
    const std::optional<std::string> inProgramDir = FindFileIgnoringCase(programDir, BareFileName(editor));
    editor = inProgramDir && FileExists(*inProgramDir) ? *inProgramDir : std::string();
  }
  if (const std::optional<std::string> scribix = FindFileIgnoringCase(programDir, "scribix.exe");
      scribix && FileExists(*scribix)) {
    editor = *scribix;
  }
  return FileExists(editor) ? editor : std::string();
}

// What reading the method section found that it could not use, one line per key, for one warning.
struct MethodNotes {
  std::vector<std::string> lines;
  bool methodReset = false; ///< the method record took its defaults because of a value noted
};

// An integer key of the method section. A value that is there but is no whole number reads as `fallback`, as
// the rules read every unreadable integer, and is noted: a hand-edited "Steps1=abc" must not quietly change
// the method.
int MethodInteger(const ProfileFile& profile, std::string_view key, int fallback, MethodNotes& notes) {
  const std::optional<std::string> text = profile.Find(kMethod, key);
  if (!text || text->empty()) {
    return fallback;
  }
  // Two readings with different fallbacks agree exactly when the value itself was read.
  const int value = profile.ReadInteger(kMethod, key, 0);
  if (value != profile.ReadInteger(kMethod, key, 1)) {
    notes.lines.push_back(std::string(key) + "=" + *text + " is not a whole number");
    return fallback;
  }
  return value;
}

// An integer of the method record that must lie in [low, high]. 0 stays 0: the rules take it to mean that
// the value is missing. Any other value outside the range is noted and read as 0.
int MethodCount(const ProfileFile& profile, std::string_view key, int low, int high, MethodNotes& notes) {
  const int value = MethodInteger(profile, key, 0, notes);
  if (value != 0 && (value < low || value > high)) {
    notes.lines.push_back(std::string(key) + "=" + std::to_string(value) + " is outside " +
                          std::to_string(low) + " to " + std::to_string(high));
    return 0;
  }
  return value;
}

// An automatic-accuracy value brought into the range the method dialog offers, noting any change.
int ClampedAccuracyValue(const ProfileFile& profile, std::string_view key, int fallback, int low, int high,
                         MethodNotes& notes) {
  const int value = MethodInteger(profile, key, fallback, notes);
  const int clamped = std::clamp(value, low, high);
  if (clamped != value) {
    notes.lines.push_back(std::string(key) + "=" + std::to_string(value) +
                          (value < low ? " is below " : " is above ") + std::to_string(clamped) + ": " +
                          std::to_string(clamped) + " is used");
  }
  return clamped;
}

void ReadMethod(const ProfileFile& profile, UserInterface& ui, IniOptions& options) {
  MethodNotes notes;
  SolveMethodRec method = DefaultSolveMethod();
  const int code = MethodCount(profile, "Method", 1, 4, notes);
  bool complete = false;
  if (code != 0) {
    const int solutions = MethodCount(profile, "NSOL", 1, 3, notes);
    if (solutions != 0) {
      const std::array<int, 3> steps{MethodCount(profile, "Steps1", 1, 999, notes),
                                     MethodCount(profile, "Steps2", 1, 999, notes),
                                     MethodCount(profile, "Steps3", 1, 999, notes)};
      complete = steps[0] != 0 && steps[1] != 0 && steps[2] != 0;
      if (complete) {
        method.method = static_cast<SolutionMethod>(code);
        method.solutions = solutions;
        method.steps = steps;
      }
    }
  }
  if (!complete) {
    method = DefaultSolveMethod();
    notes.methodReset = !notes.lines.empty();
  }
  method.automaticAccuracy = MethodInteger(profile, "Automatic accuracy", 0, notes) != 0;
  method.subintervals = std::max(1, MethodInteger(profile, "Subint Non Auto Acc", 1, notes));
  AccuracyOptions accuracy = DefaultAccuracyOptions();
  if (method.automaticAccuracy) {
    // Values the dialog could not show would reach the command file and fail the solve there.
    accuracy.percent = ClampedAccuracyValue(profile, "Auto Acc Percent", accuracy.percent,
                                            kMinAccuracyPercent, kMaxAccuracyPercent, notes);
    accuracy.subintervals = ClampedAccuracyValue(profile, "Auto Acc Subint", accuracy.subintervals, 1,
                                                 std::numeric_limits<int>::max(), notes);
    accuracy.figures = ClampedAccuracyValue(profile, "Auto Acc Figures", accuracy.figures,
                                            kMinAccuracyFigures, kMaxAccuracyFigures, notes);
    const std::string minText = profile.ReadString(kMethod, "Auto Acc Min Int", "0.001");
    if (!ParseReal(minText, accuracy.minimumLength)) {
      ui.Message(MessageKind::Error, "Error converting " + minText + " to real.");
      accuracy.minimumLength = 0.001f;
    } else if (!(accuracy.minimumLength > 0)) {
      notes.lines.push_back("Auto Acc Min Int=" + minText + " is not above 0: 0.001 is used");
      accuracy.minimumLength = 0.001f;
    } else if (accuracy.minimumLength < kShortestMinimumLength ||
               accuracy.minimumLength > kLongestMinimumLength) {
      const float clamped = std::clamp(accuracy.minimumLength, kShortestMinimumLength, kLongestMinimumLength);
      notes.lines.push_back("Auto Acc Min Int=" + minText +
                            (clamped > accuracy.minimumLength ? " is below " : " is above ") +
                            RealText(clamped) + ": " + RealText(clamped) + " is used");
      accuracy.minimumLength = clamped;
    }
    accuracy.stopOnFailure = MethodInteger(profile, "Auto Acc FailStop", 1, notes) != 0;
    // The criterion is a code, not a quantity: one outside 0..2 takes the default "Data".
    accuracy.criterion = MethodInteger(profile, "Auto Acc Criterion", 0, notes);
    if (accuracy.criterion < 0 || accuracy.criterion > 2) {
      notes.lines.push_back("Auto Acc Criterion=" + std::to_string(accuracy.criterion) +
                            " is outside 0 to 2: 0 is used");
      accuracy.criterion = 0;
    }
  }
  options.method = method;
  options.accuracy = accuracy;
  if (!notes.lines.empty()) {
    std::string text = "The settings file holds solution method values that cannot be used:";
    for (const std::string& line : notes.lines) {
      text += "\r\n" + line;
    }
    if (notes.methodReset) {
      text += "\r\nThe method takes its defaults: Gragg, 3 solutions of 2, 4 and 6 steps.";
    }
    ui.Message(MessageKind::Warning, text);
  }
}

// The sections that belong to the model: its files, lists and method, in the order they are written.
void WriteModelSections(ProfileFile& profile, const IniOptions& options) {
  profile.WriteString(kEnvironment, "Model", options.model);
  profile.WriteString(kEnvironment, "Model Name", options.modelName);
  profile.WriteString(kEnvironment, "MERKA File", options.merkaFile);
  profile.WriteString(kEnvironment, "Output Directory", options.outputDirectory);
  profile.WriteString(kEnvironment, "PostSim Names", options.postSimNames);
  profile.WriteString(kEnvironment, "SVI File", options.sviFile);
  profile.WriteString(kOptions, "ModelDesc", options.modelDesc);
  profile.WriteInteger(kEnvironment, "Model GPVer", options.modelGpVer);

  std::vector<std::string> closure;
  std::vector<std::string> shocks;
  for (const std::string& line : options.closure) {
    closure.push_back(CleanEditLine(line));
  }
  for (const std::string& line : options.shocks) {
    shocks.push_back(CleanEditLine(line));
  }
  profile.WriteList("Input Files", options.inputFiles, true);
  profile.WriteList("Closure", closure, false);
  profile.WriteList("Shocks", shocks, false);
  profile.WriteList("Output Files", options.outputFiles, true);

  const SolveMethodRec& method = options.method;
  profile.WriteInteger(kMethod, "Method", static_cast<int>(method.method));
  profile.WriteInteger(kMethod, "NSOL", method.solutions);
  profile.WriteInteger(kMethod, "Steps1", method.steps[0]);
  profile.WriteInteger(kMethod, "Steps2", method.steps[1]);
  profile.WriteInteger(kMethod, "Steps3", method.steps[2]);
  profile.WriteBool(kMethod, "Automatic accuracy", method.automaticAccuracy);
  profile.WriteInteger(kMethod, "Subint Non Auto Acc", std::max(1, method.subintervals));
  if (method.automaticAccuracy) {
    const AccuracyOptions& accuracy = options.accuracy;
    profile.WriteInteger(kMethod, "Auto Acc Percent", accuracy.percent);
    profile.WriteInteger(kMethod, "Auto Acc Subint", accuracy.subintervals);
    profile.WriteInteger(kMethod, "Auto Acc Figures", accuracy.figures);
    profile.WriteString(kMethod, "Auto Acc Min Int", RealText(accuracy.minimumLength));
    profile.WriteBool(kMethod, "Auto Acc FailStop", accuracy.stopOnFailure);
    profile.WriteInteger(kMethod, "Auto Acc Criterion", accuracy.criterion);
  }
}

} // namespace

std::string BareFileName(std::string_view path) {
  const std::size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string CleanEditLine(std::string_view line) {
  std::string cleaned(line);
  for (char& c : cleaned) {
    if (c < '!' || c > '~') {
      c = ' ';
    }
  }
  return cleaned;
}

std::string RelocateInputLine(std::string_view line, std::string_view folder) {
  const std::size_t equals = line.find('=');
  const std::size_t semicolon = line.find(';');
  if (equals == std::string_view::npos || semicolon == std::string_view::npos || semicolon < equals) {
    return std::string(line);
  }
  std::string file = Unquoted(Trim(line.substr(equals + 1, semicolon - equals - 1)));
  if (file != "??") {
    file = QuoteIfNeeded(JoinPath(folder, BareFileName(file)));
  }
  return Trim(line.substr(0, equals + 1)) + " " + file + " " + Trim(line.substr(semicolon));
}

std::string RebuildOutputLine(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::string(line);
  }
  std::size_t semicolon = line.find(';', equals);
  if (semicolon == std::string_view::npos) {
    semicolon = line.size();
  }
  const std::string file = Unquoted(Trim(line.substr(equals + 1, semicolon - equals - 1)));
  const std::string folder = ExtractFilePath(file);
  if (!folder.empty() && FolderExists(folder)) {
    return std::string(line);
  }
  return Trim(line.substr(0, equals + 1)) + " " + QuoteIfNeeded(LowerCase(BareFileName(file))) + " ;";
}

void ReadCatalogueOptions(const std::string& path, std::string& modelDesc, bool& bigPic) {
  ProfileFile profile;
  ErrorText ignored;
  LoadProfileFile(path, profile, ignored);
  modelDesc = profile.ReadString(kOptions, "ModelDesc", "Model description");
  bigPic = profile.ReadBool(kOptions, "BigPic", false);
}

bool ReadIniOptions(const std::string& path, const SettingsContext& context, UserInterface& ui,
                    IniOptions& options, ErrorText& errorText) {
  options = IniOptions{};
  ProfileFile profile;
  const bool readable = LoadProfileFile(path, profile, errorText);
  if (!readable) {
    AddTag(errorText, "[ReadIniOptions]");
  }

  options.playMusic = profile.ReadBool(kOptions, "PlayMusic", false);
  options.developerMode = profile.ReadBool(kOptions, "DeveloperMode", false);
  options.orvaneVersion = profile.ReadInteger(kOptions, "OrvaneVersion", 0);
  options.ignoreLevelsResults = profile.ReadBool(kOptions, "Ignore Levels Results", false);
  options.getSubtotalsResults = profile.ReadBool(kOptions, "Get Subtotals Results", true);
  options.createXacFile = profile.ReadBool(kOptions, "Create XAC file", true);
  options.modelDesc = profile.ReadString(kOptions, "ModelDesc", "Model description");
  options.bigPic = profile.ReadBool(kOptions, "BigPic", false);
  options.textEditor = ResolveTextEditor(profile.ReadString(kOptions, "Text Editor", ""), context.programDir);

  std::string model = profile.ReadString(kEnvironment, "Model", "");
  if (!model.empty() && context.relocate) {
    model = JoinPath(context.modelHomeDir, BareFileName(model));
  }
  if (!model.empty()) {
    const std::optional<std::string> found = FindPathIgnoringCase(model);
    model = found && FileExists(*found) ? *found : std::string();
  }
  if (!model.empty() && context.modelFilesOk && !context.modelFilesOk(model)) {
    model.clear();
  }
  const bool hasModel = !model.empty();
  options.modelNotRestored = !hasModel && !Trim(profile.ReadString(kEnvironment, "Model", "")).empty();
  options.model = model;
  options.modelName = profile.ReadString(kEnvironment, "Model Name", "");
  options.modelGpVer = profile.ReadInteger(kEnvironment, "Model GPVer", 0);
  options.merkaFile = profile.ReadString(kEnvironment, "MERKA File", "");
  options.outputDirectory = profile.ReadString(kEnvironment, "Output Directory", "");
  options.postSimNames = profile.ReadString(kEnvironment, "PostSim Names", "sim1ps");
  options.sviFile = profile.ReadString(kEnvironment, "SVI File", "");
  if (!hasModel || !FileExists(options.sviFile)) {
    options.sviFile.clear();
  }

  if (hasModel) {
    options.inputFiles = WithoutBlankLines(ReadNumberedList(profile, "Input Files", path, ui, options));
    if (context.relocate) {
      for (std::string& line : options.inputFiles) {
        line = RelocateInputLine(line, context.modelHomeDir);
      }
    }
    options.closure = ReadNumberedList(profile, "Closure", path, ui, options);
    EmptyIfBlank(options.closure);
  }
  options.shocks = ReadNumberedList(profile, "Shocks", path, ui, options);
  EmptyIfBlank(options.shocks);
  for (std::string& line : options.shocks) {
    line = CleanEditLine(line);
  }
  if (hasModel) {
    options.outputFiles = WithoutBlankLines(ReadNumberedList(profile, "Output Files", path, ui, options));
    for (std::string& line : options.outputFiles) {
      line = RebuildOutputLine(line);
    }
  }

  ReadMethod(profile, ui, options);
  options.verbalDescription = hasModel ? profile.ReadString(kEnvironment, "Verbal description", "?") : "?";
  return readable;
}

bool WriteIniOptions(const std::string& path, const IniOptions& options, ErrorText& errorText,
                     SettingsParts parts) {
  ProfileFile profile;
  if (!LoadProfileFile(path, profile, errorText)) {
    return AddTag(errorText, "[WriteIniOptions]");
  }
  if (parts == SettingsParts::All) {
    WriteModelSections(profile, options);
  } else {
    profile.WriteString(kOptions, "ModelDesc", options.modelDesc);
  }

  profile.WriteBool(kOptions, "PlayMusic", options.playMusic);
  profile.WriteBool(kOptions, "Ignore Levels Results", options.ignoreLevelsResults);
  profile.WriteBool(kOptions, "Get Subtotals Results", options.getSubtotalsResults);
  profile.WriteBool(kOptions, "Create XAC file", options.createXacFile);
  profile.WriteString(kOptions, "Text Editor", options.textEditor);
  profile.WriteInteger(kOptions, "OrvaneVersion", kOrvaneVersion);
  if (parts == SettingsParts::All) {
    profile.WriteString(kEnvironment, "Verbal description", options.verbalDescription);
  }

  if (!SaveProfileFile(path, profile, errorText)) {
    return AddTag(errorText, "[WriteIniOptions]");
  }
  return true;
}

} // namespace pelorin
