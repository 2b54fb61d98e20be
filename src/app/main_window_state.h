#pragma once

#include <string>

namespace pelorin {

/// The pages of the main window, by index.
enum MainPage : int {
  kPicturePage = 0,
  kTextPage = 1,
  kTitlePage = 2,
  kModelDataPageIndex = 3,
  kClosurePageIndex = 4,
  kShocksPageIndex = 5,
  kOutputFilesPage = 6,
  kSolvePageIndex = 7,
  kResultsPage = 8,
  kPageCount = 9,
};

/// One menu item as the window shows it.
struct MenuItemState {
  std::string caption;
  bool visible = true;
  bool enabled = true;
  bool checked = false;
};

/// The main menu's items whose state the logic sets (the View menu's belong to the model set-up).
struct MainMenuState {
  MenuItemState EditCMFSTARTFile{"Edit CMFSTART file"};
  MenuItemState AddModel{"Add Model"};
  MenuItemState ShellToDOS{"Shell to &DOS"};
  /// Writes the Results page's table to a CSV file; enabled while that page shows a table.
  MenuItemState ExportTableAsCsv{"Export Table as CSV...", true, false};
  MenuItemState Exit{"E&xit"};
  MenuItemState Copy{"&Copy"};
  MenuItemState Developer{"&Developer"};
  MenuItemState ViewTempDirTextFiles{"View Temp Dir &Text files"};
  MenuItemState ViewTempDirHARFiles{"View Temp Dir &HAR files"};
  MenuItemState ChangeTextEditor{"Change Text &Editor ..."};
  MenuItemState UsePif{"Use ORVANE.&PIF under Windows NT"};
  MenuItemState ResultsSeparator{"-"};
  MenuItemState ShowLevelsResults{"Show &Levels results (if present)"};
  MenuItemState IgnoreLevelsResults{"&Ignore levels results"};
  MenuItemState ShowSubtotalsResults{"Show &Subtotals Results (if present)"};
  MenuItemState IgnoreSubtotalsResults{"Ignore Subt&otals Results"};
  MenuItemState CreateXACFile{"Create &XAC file (if relevant)"};
  MenuItemState DoNotCreateXACFile{"Do &not create XAC file"};
  MenuItemState StartupMusic{"Startup Music"};
  MenuItemState ZipSeparator{"-"};
  MenuItemState ZipTempDir{"Zip all files in Temp Directory"};
  MenuItemState ZipKeepDir{"Zip all files in Keep Directory"};
  MenuItemState ZipModelDir{"Zip all files in Model Directory"};
  MenuItemState ReloadModel{"Reload Model"};
  MenuItemState Contents{"&Contents"};
  MenuItemState CurrentPage{"Current &Page"};
  MenuItemState WhatsNew{"What's &New"};
  MenuItemState HelpOnModel{"Help on this model"};
  MenuItemState AboutDiagnostics{"&About/Diagnostics"};
};

/// The Title page: four labels and a heading shown only in developer mode.
struct TitlePageState {
  std::string IntroLabel1;
  std::string IntroLabel2;
  std::string IntroLabel3;
  std::string IntroLabel4;
  /// The heading names the program folder, for developers.
  std::string Heading;
  bool headingVisible = false;
};

/// The main window as the logic sees it: caption, size, page, whether it takes input, the timer, and the
/// requests the window layer carries out (close, play or stop the start-up sound).
struct MainWindowState {
  std::string caption;
  int width = 0;
  int height = 0;
  int currentPage = kPicturePage;
  bool enabled = true;
  bool hintsOn = false;
  /// The 600 ms timer whose ticks call DosJobTimerTimer.
  bool timerEnabled = false;
  /// The logic asked the window to close (which ends the program through CloseDown).
  bool closeRequested = false;
  /// The caption of the Model/Data page's second input-files label.
  std::string inputFilesLabel2;
  /// The start-up sound file and whether it is playing.
  std::string startupSound;
  bool soundPlaying = false;
};

} // namespace pelorin
