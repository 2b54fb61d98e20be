#include "shell/catalogue.h"

#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"
#include "shell/app_state.h"
#include "shell/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

// The model-specific files every installed model should carry, in the order the warning lists them.
constexpr std::string_view kModelFileExtensions[] = {"MRK", "MIN", "AXS", "AXT", "STI", "EXE", "INF",
                                                     "BMP", "RTF", "CLS", "INI", "MDF", "TIT"};

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// A model-specific file, found whatever the case of its name; empty when there is none.
std::string ExistingModelFile(const std::string& modelBase, std::string_view extension) {
  const std::optional<std::string> found = FindPathIgnoringCase(modelBase + "." + std::string(extension));
  return found && IsFile(*found) ? *found : std::string();
}

void WarnMissing(UserInterface& ui, std::string_view heading, const std::vector<std::string>& missing,
                 std::string_view advice) {
  if (missing.empty()) {
    return;
  }
  std::string text(heading);
  for (const std::string& name : missing) {
    text += "\r\n    " + name;
  }
  text += "\r\nThis may cause problems.\r\n" + std::string(advice);
  ui.Message(MessageKind::Warning, text);
}

} // namespace

std::vector<InstalledModel> ListInstalledModels(const std::string& programDir) {
  std::vector<InstalledModel> models;
  std::error_code ec;
  for (fs::directory_iterator it(programDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.' || !it->is_directory(ec)) {
      continue;
    }
    const std::string folder = it->path().string();
    const std::optional<std::string> ini = FindFileIgnoringCase(folder, name + ".ini");
    const std::optional<std::string> exe = FindFileIgnoringCase(folder, name + ".exe");
    if (!ini || !exe || !IsFile(*ini) || !IsFile(*exe)) {
      continue;
    }
    InstalledModel model;
    model.name = name;
    ReadCatalogueOptions(*ini, model.description, model.bigPic);
    models.push_back(std::move(model));
  }
  std::sort(models.begin(), models.end(), [](const InstalledModel& a, const InstalledModel& b) {
    const std::string la = LowerCase(a.name);
    const std::string lb = LowerCase(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  return models;
}

bool ChooseCustomModel(AppState& app, UserInterface& ui, InstalledModel& chosen) {
  const std::vector<InstalledModel> models = ListInstalledModels(app.ProgramDir);
  if (models.empty()) {
    ui.Message(MessageKind::Error, "No models available");
    return false;
  }
  int index = 0;
  for (std::size_t i = 0; i < models.size(); ++i) {
    if (UpperCase(models[i].name) == "MINIMAL") {
      index = static_cast<int>(i);
      break;
    }
  }
  if (models.size() > 1) {
    std::vector<std::string> items;
    for (const InstalledModel& model : models) {
      items.push_back(model.name + " - " + model.description);
    }
    const std::optional<int> answer = ui.ChooseModel(items, index);
    if (!answer || *answer < 0 || *answer >= static_cast<int>(models.size())) {
      return false;
    }
    index = *answer;
  }
  chosen = models[static_cast<std::size_t>(index)];
  app.ModelName = chosen.name;
  app.ModelDescription = chosen.description;
  return true;
}

ChooserLayout ChooserGeometry(int fontPixelHeight, int count, int groupTop, int buttonHeight) {
  ChooserLayout layout;
  const double rows = (static_cast<double>(std::max(count, 0)) + 2.0) * 1.5;
  layout.groupHeight = static_cast<int>(std::lround(std::abs(fontPixelHeight) * rows));
  layout.buttonTop = groupTop + layout.groupHeight + 7;
  layout.noteTop = layout.buttonTop + buttonHeight / 5;
  layout.clientHeight = layout.buttonTop + buttonHeight + 5;
  return layout;
}

void CheckModelFiles(const std::string& modelBase, UserInterface& ui) {
  std::vector<std::string> missing;
  for (const std::string_view extension : kModelFileExtensions) {
    if (ExistingModelFile(modelBase, extension).empty()) {
      missing.push_back(modelBase + "." + std::string(extension));
    }
  }
  WarnMissing(ui, "The following model-specific files are missing:", missing,
              "You might have to install that model again.");
}

void CheckProgramFiles(const std::string& programDir, UserInterface& ui) {
  const std::optional<std::string> list = FindFileIgnoringCase(programDir, "vital.fil");
  if (!list || !IsFile(*list)) {
    return;
  }
  TextFile file;
  ErrorText error;
  if (!TxtOpen(file, *list, error)) {
    ui.Message(MessageKind::Warning, error);
    return;
  }
  std::vector<std::string> missing;
  std::string line;
  while (file.ReadLine(line)) {
    std::string name = Trim(line);
    if (name.empty()) {
      continue;
    }
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', kPathSeparator);
    const std::optional<std::string> found = FindPathIgnoringCase(JoinPath(programDir, relative));
    std::error_code ec;
    if (!found || !fs::exists(*found, ec)) {
      missing.push_back(std::move(name));
    }
  }
  TxtClose(file, error);
  WarnMissing(ui, "The following program files are missing:", missing,
              "You might have to install the program again.");
}

SetUpOutcome SetUpCustomModel(AppState& app, UserInterface& ui, const ExitHook& exit, CustomModelSetUp& setUp,
                              bool makeOutputFolder) {
  setUp = CustomModelSetUp{};
  InstalledModel chosen;
  if (!ChooseCustomModel(app, ui, chosen)) {
    return SetUpOutcome::NoModel;
  }
  app.ModelHomeDir = JoinPath(app.ProgramDir, app.ModelName);
  std::error_code ec;
  if (!fs::is_directory(app.ModelHomeDir, ec)) {
    ui.Message(MessageKind::Error, "Fatal Error: directory \"" + app.ModelHomeDir + "\" does not exist.");
    exit(1);
    return SetUpOutcome::Halted;
  }
  app.ModelBase = JoinPath(app.ModelHomeDir, app.ModelName);
  CheckModelFiles(app.ModelBase, ui);

  setUp.outputDir = JoinPath(app.ModelHomeDir, "OutPut");
  if (makeOutputFolder && !fs::is_directory(setUp.outputDir, ec) &&
      !fs::create_directory(setUp.outputDir, ec)) {
    ui.Message(MessageKind::Error, "Error: cannot create output directory \"" + setUp.outputDir + "\"");
  }
  setUp.modelHelp = app.ModelBase + ".html";
  if (const std::string help = ExistingModelFile(app.ModelBase, "html"); !help.empty()) {
    setUp.modelHelp = help;
    setUp.modelHelpExists = true;
  }
  setUp.mainMrkFile = app.ModelBase + ".mrk";
  setUp.mrkStiFile = app.ModelBase + ".sti";

  setUp.picture.fillsPage = chosen.bigPic;
  setUp.picture.pictureFile = ExistingModelFile(app.ModelBase, "bmp");
  if (setUp.picture.pictureFile.empty()) {
    ui.Message(MessageKind::Error, "Error: missing file " + app.ModelBase + ".bmp");
  }
  setUp.text.richTextFile = ExistingModelFile(app.ModelBase, "rtf");
  if (setUp.text.richTextFile.empty()) {
    ui.Message(MessageKind::Error, "Error: missing file " + app.ModelBase + ".rtf");
  }
  const std::string captions = ExistingModelFile(app.ModelBase, "tit");
  if (captions.empty()) {
    ui.Message(MessageKind::Error, "Error: missing file " + app.ModelBase + ".tit");
  } else {
    ErrorText error;
    if (!ReadCaptions(captions, setUp.picture.captions, error)) {
      ui.Message(MessageKind::Error, error);
    }
  }
  return SetUpOutcome::Ready;
}

} // namespace pelorin
