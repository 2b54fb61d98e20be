#pragma once

#include <string>
#include <vector>

namespace pelorin {

/// One item of a View sub-menu built from the model's file list.
struct ViewMenuItem {
  /// The caption shown ("Original BASEDATA", "Updated BASEDATA", "SUMMARY (Presim)", "Post Sim Log file").
  std::string Caption;
  /// The logical name of the file the item shows (empty for "Post Sim Log file").
  std::string LogicalName;
  /// The file type, lower-cased ("har", "txt").
  std::string FileType;
  /// For outputs: the number k of the file among the model's non-display "out" files (1, 2, ...); 0 for the
  /// display file and for items that are not outputs.
  int OutIndex = 0;
  /// The item shows the display file.
  bool Display = false;
  /// The item shows the post-simulation log.
  bool Log = false;
};

/// A View sub-menu: its items (rebuilt whenever a model is processed) and whether it is enabled.
struct ViewSubMenu {
  std::vector<ViewMenuItem> Items;
  bool Enabled = false;
};

/// The View menu's state: the four sub-menus built from the model's file list and the enabled state of the
/// entries, set each time the menu opens.
struct ViewMenuState {
  ViewSubMenu InputData;               ///< "&Input Data files"
  ViewSubMenu UpdatedData;             ///< "&Updated Data"
  ViewSubMenu OutputsPreSim;           ///< "&Outputs (PreSim)"
  ViewSubMenu OutputsPostSim;          ///< "Outputs (&PostSim)"
  bool XacFileEnabled = false;         ///< "X&AC file"
  bool LogFileEnabled = false;         ///< "&Log File"
  bool MainMrkFileEnabled = false;     ///< "&Main MERKA file"
  bool MrkStiFileEnabled = false;      ///< "MERKA STI (&Condensation) file"
  bool AccuracySummaryEnabled = false; ///< "Accu&racy Summary"
  bool TelvariEnabled = false;         ///< "Solution via Telvari"
  bool LumarixEnabled = false;         ///< "Solution via Lumarix"
  bool BrisolentEnabled = false;       ///< "Solution via Brisolent"
  /// The editor choice sub-menu's check marks ("Use &Orvane's editor" / "Use &Another editor").
  bool OwnEditorChecked = true;
  bool AnotherEditorChecked = false;
};

/// The files of the last solve that the View menu shows. The job runner sets them: SolutionFile and the log,
/// command and XAC files when a solve starts or ends, the Last* folders and names at the end of each
/// successful solve, the post-simulation display file when the post-simulation command file is written.
struct LastSolveFiles {
  std::string SolutionFile;         ///< OutputDir joined with the solution name, plus ".sl4"
  std::string XacFile;              ///< SolutionFile with ".xac"
  std::string LogCopy;              ///< SolutionFile with ".log": the lasting copy of the solver log
  std::string CmfFile;              ///< the simulation command file
  std::string PostSimLog;           ///< the post-simulation log in the work folder
  std::string PostSimDisplayFile;   ///< OutputDir joined with the post-simulation name + ".dis"
  std::string LastOutputDir;        ///< the output folder of the last successful solve
  std::string LastPostSimDir;       ///< the post-simulation folder of the last successful solve
  std::string LastPostSimName;      ///< the post-simulation name of the last successful solve
  bool AccuracySummaryMade = false; ///< an accuracy summary was made after the last solve
};

} // namespace pelorin
