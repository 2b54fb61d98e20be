#pragma once

#include "shell/captions.h"
#include "shell/fatal.h"

#include <string>
#include <vector>

namespace pelorin {

struct AppState;
class UserInterface;

/// One installed model: a sub-folder D of the program folder holding D.ini and D.exe.
struct InstalledModel {
  std::string name;
  std::string description = "Model description"; ///< "ModelDesc" of D.ini
  bool bigPic = false;                           ///< "BigPic" of D.ini: the picture fills its page
};

/// The installed models in the order of their folder names (ignoring case). Folders whose names start with
/// "." are never models.
std::vector<InstalledModel> ListInstalledModels(const std::string& programDir);

/// Lets the user pick a model (MINIMAL pre-selected, else the first); one model is taken without asking. Sets
/// ModelName and ModelDescription and returns the choice; false after "No models available" or when the user
/// cancels.
bool ChooseCustomModel(AppState& app, UserInterface& ui, InstalledModel& chosen);

/// The texts of the model chooser.
inline constexpr const char* kChooserCaption = "Select Model";
inline constexpr const char* kChooserText = "Use Orvane to work with one of the models listed below.";
inline constexpr const char* kChooserGroup = " Choose a model ";
inline constexpr const char* kChooserOk = "Ok";
inline constexpr const char* kChooserNote = "To switch model, close Orvane and start it again.";

/// Where the model chooser's parts go, in pixels from the top of its client area.
struct ChooserLayout {
  int groupHeight = 0;  ///< the radio group: 1.5 lines per model and two more
  int buttonTop = 0;    ///< "Ok", 7 pixels below the group
  int noteTop = 0;      ///< the note beside "Ok", a fifth of the button's height lower
  int clientHeight = 0; ///< 5 pixels below the button
};

/// The chooser's layout for a font of `fontPixelHeight` (either sign), `count` models, the radio group at
/// `groupTop` and a button `buttonHeight` high.
ChooserLayout ChooserGeometry(int fontPixelHeight, int count, int groupTop, int buttonHeight);

/// Warns about model-specific files (stem + ".MRK", ".MIN", ...) that are missing.
void CheckModelFiles(const std::string& modelBase, UserInterface& ui);

/// Warns about the program files listed in "vital.fil" of the folder that are missing. A folder without
/// "vital.fil" has nothing to check.
void CheckProgramFiles(const std::string& programDir, UserInterface& ui);

/// The Picture page: the model's picture and its four captions.
struct PicturePage {
  std::string pictureFile; ///< ModelBase + ".bmp"; empty when missing
  bool fillsPage = false;  ///< "BigPic"
  ModelCaptions captions;
};

/// The Text page: the model's rich-text description.
struct TextPage {
  std::string richTextFile; ///< ModelBase + ".rtf"; empty when missing
};

/// What setting up the chosen model gives the rest of the program.
struct CustomModelSetUp {
  std::string outputDir;        ///< ModelHomeDir + "/OutPut"
  std::string modelHelp;        ///< ModelBase + ".chm" ...
  bool modelHelpExists = false; ///< "Help on this model" is enabled
  std::string mainMrkFile;      ///< ModelBase + ".mrk"
  std::string mrkStiFile;       ///< ModelBase + ".sti"
  PicturePage picture;
  TextPage text;
};

/// How setting up the chosen model ended.
enum class SetUpOutcome { Ready, NoModel, Halted };

/// Chooses the model and sets up its home folder, output folder and pages. NoModel: the program ends without
/// showing its window. Halted: the model's folder is missing; the program was ended through `exit`. The
/// output folder is made when missing unless `makeOutputFolder` is false (a run that writes nothing into the
/// program folder).
SetUpOutcome SetUpCustomModel(AppState& app, UserInterface& ui, const ExitHook& exit, CustomModelSetUp& setUp,
                              bool makeOutputFolder = true);

/// "Add Model": installs a model from a zip archive into a new folder of the program folder, extracting every
/// entry by its bare file name. Hostile archives are refused whole (see the implementation) and leave nothing
/// behind; an existing folder is never touched.
void AddModel1Click(const std::string& programDir, UserInterface& ui);

} // namespace pelorin
