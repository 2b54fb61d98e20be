// The tour: drives the window program over an installed program folder (Minimal and Trade) as a person would,
// by its own widgets and events, and saves a picture of each step. Run by scripts/tour.sh under a real X
// server; it also measures start-up, page changes and the idle window's memory.
//
//   pelorin_tour PROGRAM_DIR OUT_DIR      the tour; its pictures and figures.txt go into OUT_DIR
//   pelorin_tour PROGRAM_DIR --start      only the start: prints the time from process start to the painted
//                                         main window, the chooser answered at once

#include "app/application.h"
#include "results/results_page.h"
#include "ui/about_box.h"
#include "ui/acc_summary_dlg.h"
#include "ui/cust_chus_form.h"
#include "ui/diag_form.h"
#include "ui/help_window.h"
#include "ui/inspectr_dlg.h"
#include "ui/main_form.h"
#include "ui/model_data_page_widget.h"
#include "ui/orf_edit_dlg.h"
#include "ui/results_grid.h"
#include "ui/results_page_widget.h"
#include "ui/srch_dlg.h"
#include "ui/up_down_button.h"
#include "ui/vexmoor_notifier.h"
#include "ui/window_program.h"
#include "ui_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string_view>
#include <unistd.h>

namespace pelorin {
namespace {

class Tour {
public:
  Tour(std::string programDir, QString outDir)
      : programDir_(std::move(programDir)), outDir_(std::move(outDir)) {}

  int Run();
  /// Starts with the chooser answered at once and prints the time to the painted window.
  int MeasureStart();

private:
  // Starts the program; the chooser is answered with `choose` (pictured first when `picture` is set).
  bool Start(int choose, const QString& picture);
  void Picture(QWidget* widget, const QString& name);
  // The screen around every visible window: menus and dialogs over the main window.
  void ScreenPicture(const QString& name);
  void ClickTab(int page);
  void OpenMenu(const QString& name, const QString& picture);
  void Settle(int milliseconds = 50);
  void Pages(const QString& model);
  void MeasurePageChanges();
  // Solves the model shown, picturing the accuracy summary and the messages on the way.
  bool Solve(const QString& model);
  void AccuracyPictures(TAccSummaryDlg* dialog, const QString& model);
  // Opens the line of the Results page's contents whose first cell is `first`.
  void OpenLine(const std::string& first);
  // Opens a combo box's list (pictured) and chooses the item shown as `text`.
  void ChooseInCombo(QComboBox* combo, const QString& text, const QString& picture);
  void RightClick(ResultsGrid* grid, int row, int col);
  void MinimalResults();
  void TradeResults();
  // The whole screen, other programs' windows included.
  void FullScreenPicture(const QString& name);
  QString NextFile(const QString& name) {
    return outDir_ + QStringLiteral("/%1-%2.png").arg(++step_, 2, 10, QLatin1Char('0')).arg(name);
  }
  // The built-in editor viewing and editing, its Find and Replace dialogs, the about box and diagnostics.
  void Tools();
  // Runs the search dialog of an open editor in Find or Replace mode, pictured filled in, and confirms it.
  void Search(TOrfEditDlg& editor, bool replace, const QString& find, const QString& replaceWith);
  TMainForm& Form() { return *program_->MainForm(); }
  Application& Core() { return program_->Core(); }

  std::string programDir_;
  QString outDir_;
  std::unique_ptr<WindowProgram> program_;
  int step_ = 0;
  double startToPaint_ = -1;
  double startCpu_ = -1;
  bool firstTick_ = true;
  std::vector<double> pageChanges_;
  double idleMegabytes_ = 0;
  QStringList messages_;
};

void Tour::Settle(int milliseconds) {
  QTest::qWait(milliseconds);
}

void Tour::Picture(QWidget* widget, const QString& name) {
  Settle();
  const QString file = NextFile(name);
  if (!widget->grab().save(file)) {
    std::cerr << "cannot write " << file.toStdString() << "\n";
  }
}

void Tour::ScreenPicture(const QString& name) {
  Settle(100);
  QRect area;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) {
      area = area.united(window->frameGeometry());
    }
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  const QPixmap shot = screen->grabWindow(0).copy(area.intersected(screen->geometry()));
  const QString file = outDir_ + QStringLiteral("/%1-%2.png").arg(++step_, 2, 10, QLatin1Char('0')).arg(name);
  if (!shot.save(file)) {
    std::cerr << "cannot write " << file.toStdString() << "\n";
  }
}

bool Tour::Start(int choose, const QString& picture) {
  program_ = std::make_unique<WindowProgram>(programDir_ + "/pelorin", [](int code) {
    std::cerr << "the program ended with code " << code << "\n";
    std::exit(code);
  });
  test::ModalWatch chooser(test::IsA<TCustChusForm>(), [this, choose, picture](QWidget* window) {
    auto* form = static_cast<TCustChusForm*>(window);
    if (!picture.isEmpty()) {
      form->SetChosenIndex(choose);
      Picture(form, picture);
    }
    form->SetChosenIndex(choose);
    QTest::mouseClick(form->OkButton(), Qt::LeftButton);
  });
  if (program_->Start() != Application::StartOutcome::Ready) {
    return false;
  }
  if (startToPaint_ < 0) {
    QObject::connect(&Form(), &TMainForm::FirstPainted, [this] {
      startToPaint_ = MillisecondsSinceProcessStart();
      startCpu_ = ProcessCpuMilliseconds();
    });
    static_cast<void>(QTest::qWaitFor([this] { return startToPaint_ >= 0; }, 5000));
  }
  if (!firstTick_) {
    return true;
  }
  // The first tick, its messages pictured over the window.
  test::MessageAnswerer answerer;
  answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("first-tick-message")); };
  Form().DosJobTimerTimer();
  messages_ << answerer.texts;
  return true;
}

void Tour::ClickTab(int page) {
  QTabBar* bar = Form().Pages()->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

void Tour::OpenMenu(const QString& name, const QString& picture) {
  QMenu* menu = Form().Menu(name);
  QMenuBar* bar = Form().menuBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
  static_cast<void>(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
  ScreenPicture(picture);
  menu->close();
  Settle();
}

void Tour::Pages(const QString& model) {
  static const char* const kNames[] = {"picture", "text",   "title",        "model-data",
                                       "closure", "shocks", "output-files", "solve"};
  for (int page = 0; page < 8; ++page) {
    ClickTab(page);
    Picture(&Form(), model + QStringLiteral("-page-%1-%2").arg(page).arg(QString::fromLatin1(kNames[page])));
  }
}

void Tour::MeasurePageChanges() {
  for (int round = 0; round < 3; ++round) {
    for (int page = 0; page < 8; ++page) {
      const auto begin = std::chrono::steady_clock::now();
      ClickTab(page);
      QCoreApplication::processEvents(); // the page painted and shown
      const auto end = std::chrono::steady_clock::now();
      pageChanges_.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
    }
  }
}

void Tour::FullScreenPicture(const QString& name) {
  Settle(100);
  const QString file = NextFile(name);
  if (!QGuiApplication::primaryScreen()->grabWindow(0).save(file)) {
    std::cerr << "cannot write " << file.toStdString() << "\n";
  }
}

void Tour::AccuracyPictures(TAccSummaryDlg* dialog, const QString& model) {
  Picture(dialog, model + QStringLiteral("-accuracy-variables"));
  QTabBar* sides = dialog->Selector();
  QTest::mouseClick(sides, Qt::LeftButton, {}, sides->tabRect(1).center());
  Picture(dialog, model + QStringLiteral("-accuracy-data"));
  QTest::mousePress(dialog->ClickAndHold(), Qt::LeftButton);
  Picture(dialog, model + QStringLiteral("-accuracy-legend"));
  QTest::mouseRelease(dialog->ClickAndHold(), Qt::LeftButton);
  QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
}

bool Tour::Solve(const QString& model) {
  test::MessageAnswerer answerer;
  answerer.beforeAnswer = [this, model](QWidget*) {
    ScreenPicture(model + QStringLiteral("-solve-message"));
  };
  test::ModalWatch accuracy(
      test::IsA<TAccSummaryDlg>(),
      [this, model](QWidget* window) { AccuracyPictures(static_cast<TAccSummaryDlg*>(window), model); },
      120000);
  ClickTab(kSolvePageIndex);
  Core().Simulation.Solve.SolveButtonClick();
  Form().Refresh();
  const bool solved = QTest::qWaitFor(
      [this] {
        return !Core().Window.timerEnabled && Core().App.Solved && Core().Window.currentPage == kResultsPage;
      },
      120000);
  Settle(300);
  messages_ << answerer.texts;
  if (!solved) {
    std::cerr << "the solve of " << model.toStdString() << " did not end with results\n";
  }
  return solved;
}

void Tour::OpenLine(const std::string& first) {
  ResultsPageWidget* page = Form().ResultsPage();
  const SimTab& contents = Core().Results.ContentsTable();
  for (int r = 1; r <= contents.nrow; ++r) {
    if (contents.Cell(r, 0) == first) {
      page->ContentsGrid()->SetActiveCell(r, 1);
      QTest::keyClick(page->ContentsGrid(), Qt::Key_Space);
      Settle();
      return;
    }
  }
  std::cerr << "no contents line " << first << "\n";
}

void Tour::ChooseInCombo(QComboBox* combo, const QString& text, const QString& picture) {
  const int index = combo->findText(text);
  if (index < 0) {
    std::cerr << "no item " << text.toStdString() << "\n";
    return;
  }
  combo->showPopup();
  QAbstractItemView* list = combo->view();
  static_cast<void>(QTest::qWaitFor([list] { return list->isVisible(); }, 2000));
  list->scrollTo(list->model()->index(index, 0));
  list->setCurrentIndex(list->model()->index(index, 0));
  ScreenPicture(picture);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualRect(list->model()->index(index, 0)).center());
  Settle();
}

void Tour::RightClick(ResultsGrid* grid, int row, int col) {
  const QPoint point = grid->CellRect(row, col).center();
  QWidget* target = grid->viewport();
  if (row == 0 && col == 0) {
    target = grid->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  } else if (row == 0) {
    target = grid->horizontalHeader()->viewport();
  } else if (col == 0) {
    target = grid->verticalHeader()->viewport();
  }
  QTest::mouseClick(target, Qt::RightButton, {}, target->mapFrom(grid, point));
}

void Tour::MinimalResults() {
  ResultsPageWidget* page = Form().ResultsPage();
  Picture(&Form(), QStringLiteral("minimal-results-contents"));
  OpenLine("QFAC");
  Picture(&Form(), QStringLiteral("minimal-results-exogenous-in-red"));
  QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  OpenLine("XFAC");
  Picture(&Form(), QStringLiteral("minimal-results-matrix"));
  QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  OpenLine("XOUT");

  // Output's change by industry charted by the charting program, started by a right click on the heading.
  RightClick(page->DataGrid(), 0, 1);
  VexmoorNotifier& charting = Form().Charting();
  static_cast<void>(QTest::qWaitFor([&charting] { return !charting.NoticePending(); }, 15000));
  Settle(2500);
  FullScreenPicture(QStringLiteral("minimal-vexmoor-chart"));
  if (charting.StartedProcess() > 0) {
    ::kill(static_cast<pid_t>(charting.StartedProcess()), SIGTERM);
  }
  Form().activateWindow();
  Settle(300);

  QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  ChooseInCombo(page->ElementFilter(), QStringLiteral("labour"),
                QStringLiteral("minimal-results-filter-list"));
  Picture(&Form(), QStringLiteral("minimal-results-filtered-on-labour"));
  OpenLine("Vector elements:");
  Picture(&Form(), QStringLiteral("minimal-results-labour-in-every-vector"));
  QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  ChooseInCombo(page->ElementFilter(), QStringLiteral("Everything"),
                QStringLiteral("minimal-results-filter-off"));

  ChooseInCombo(page->SolutionChooser(), QStringLiteral("5 more labour"),
                QStringLiteral("minimal-results-solution-list"));
  OpenLine("XFAC");
  Picture(&Form(), QStringLiteral("minimal-results-subtotal-solution"));
  ChooseInCombo(page->SolutionChooser(), QStringLiteral("1 (Sim)"),
                QStringLiteral("minimal-results-solution-back"));
  for (int i = 0; i < 8; ++i) {
    QTest::mouseClick(page->SizeButton(SizeKind::FontHeight)->Up(), Qt::LeftButton);
  }
  Picture(&Form(), QStringLiteral("minimal-results-bigger-font"));
  for (int i = 0; i < 8; ++i) {
    QTest::mouseClick(page->SizeButton(SizeKind::FontHeight)->Down(), Qt::LeftButton);
  }
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) {
      ScreenPicture(QStringLiteral("minimal-results-description"));
    };
    QTest::mouseClick(page->DescriptionButton(), Qt::LeftButton);
    messages_ << answerer.texts;
  }

  // The inspector's three pages.
  test::ModalWatch inspector(test::IsA<TInspectrDlg>(), [this](QWidget* window) {
    auto* dialog = static_cast<TInspectrDlg*>(window);
    const QList<QListWidgetItem*> fac =
        dialog->SetList()->findItems(QStringLiteral("FAC"), Qt::MatchStartsWith);
    if (!fac.isEmpty()) {
      dialog->SetList()->setCurrentItem(fac.front());
    }
    Picture(dialog, QStringLiteral("minimal-inspector-sets"));
    dialog->Pages()->setCurrentIndex(1);
    Picture(dialog, QStringLiteral("minimal-inspector-variables"));
    dialog->Pages()->setCurrentIndex(2);
    Picture(dialog, QStringLiteral("minimal-inspector-coefficients"));
    QTest::mouseClick(dialog->ExitButton(), Qt::LeftButton);
  });
  Form().Action(QStringLiteral("SetsSubsetsVariables1"))->trigger();
  Settle();
  OpenMenu(QStringLiteral("File1"), QStringLiteral("menu-file-with-results"));
}

void Tour::TradeResults() {
  ResultsPageWidget* page = Form().ResultsPage();
  Picture(&Form(), QStringLiteral("trade-results-contents"));
  OpenLine("AO");
  Picture(&Form(), QStringLiteral("trade-results-exogenous-matrix"));
  QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  // A 3-dimensional variable is shown only sliced at an element of the filter.
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("trade-results-3d-refused")); };
    OpenLine("QXS");
    messages_ << answerer.texts;
  }
  ChooseInCombo(page->ElementFilter(), QStringLiteral("eu"), QStringLiteral("trade-results-filter-list"));
  Picture(&Form(), QStringLiteral("trade-results-filtered-on-eu"));
  OpenLine("QXS[*,eu,*]");
  Picture(&Form(), QStringLiteral("trade-results-trade-into-eu"));
  QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  ChooseInCombo(page->ElementFilter(), QStringLiteral("Everything"),
                QStringLiteral("trade-results-filter-off"));
  OpenLine("QO");
  Picture(&Form(), QStringLiteral("trade-results-output"));
  // The output table rendered by the charting program from the command line.
  std::string table;
  ErrorText error;
  if (!ChartTableText(Core().Results.DataTable(), 0, 0, table, error)) {
    std::cerr << error << "\n";
    return;
  }
  const QString tableFile = outDir_ + QStringLiteral("/trade-output.txt");
  QFile file(tableFile);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(table.data(), static_cast<qint64>(table.size()));
    file.close();
  }
  const int code = QProcess::execute(QString::fromStdString(programDir_ + "/vexmoor.exe"),
                                     {QStringLiteral("--render"), tableFile, QStringLiteral("--out"),
                                      NextFile(QStringLiteral("trade-rendered-chart"))});
  QFile::remove(tableFile);
  if (code != 0) {
    std::cerr << "vexmoor.exe --render ended with " << code << "\n";
  }
}

double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void Tour::Search(TOrfEditDlg& editor, bool replace, const QString& find, const QString& replaceWith) {
  test::ModalWatch watch(test::IsA<TSrchDlg1>(), [&](QWidget* window) {
    auto* dialog = static_cast<TSrchDlg1*>(window);
    dialog->FindEdit()->setText(find);
    dialog->ReplaceEdit()->setText(replaceWith);
    dialog->WholeWord()->setChecked(replace);
    ScreenPicture(replace ? QStringLiteral("editor-replace-dialog") : QStringLiteral("editor-find-dialog"));
    QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
  });
  editor.Action(replace ? QStringLiteral("Replace1") : QStringLiteral("Find1"))->trigger();
}

void Tour::Tools() {
  // The model's main source file, viewed read-only from the View menu, with a word found in it.
  {
    test::ModalWatch watch(test::IsA<TOrfEditDlg>(), [this](QWidget* window) {
      auto* editor = static_cast<TOrfEditDlg*>(window);
      Picture(editor, QStringLiteral("editor-read-only"));
      editor->Editor()->moveCursor(QTextCursor::Start);
      Search(*editor, false, QStringLiteral("equation"), QString());
      Picture(editor, QStringLiteral("editor-found"));
      editor->Menu(QStringLiteral("Search1"))->popup(editor->mapToGlobal(QPoint(60, 20)));
      ScreenPicture(QStringLiteral("editor-read-only-search-menu"));
      editor->Menu(QStringLiteral("Search1"))->close();
      editor->close();
    });
    Form().Action(QStringLiteral("MainMERKAFile1"))->trigger();
  }
  // CMFSTART made and edited: lines typed, a word replaced with the question asked, closed without saving.
  {
    test::MessageAnswerer answerer;
    answerer.answers = {QStringLiteral("Yes")}; // make the file
    answerer.beforeAnswer = [this, &answerer](QWidget* box) {
      if (test::MessageBoxText(box) == QStringLiteral("Replace this instance?")) {
        ScreenPicture(QStringLiteral("editor-replace-question"));
        answerer.answers = {QStringLiteral("All"), QStringLiteral("No")}; // then do not save the change
      }
    };
    test::ModalWatch watch(test::IsA<TOrfEditDlg>(), [this](QWidget* window) {
      auto* editor = static_cast<TOrfEditDlg*>(window);
      editor->Editor()->moveCursor(QTextCursor::End);
      editor->Editor()->insertPlainText(
          QStringLiteral("! Settings read before every command file\n"
                         "method = gragg ;\nsteps = 2 4 6 ;\nreport method ;\n"));
      editor->Editor()->moveCursor(QTextCursor::Start);
      Picture(editor, QStringLiteral("editor-cmfstart-modified"));
      editor->Menu(QStringLiteral("Edit1"))->popup(editor->mapToGlobal(QPoint(120, 20)));
      ScreenPicture(QStringLiteral("editor-edit-menu"));
      editor->Menu(QStringLiteral("Edit1"))->close();
      Search(*editor, true, QStringLiteral("method"), QStringLiteral("solution_method"));
      Picture(editor, QStringLiteral("editor-cmfstart-replaced"));
      editor->close();
    });
    Form().Action(QStringLiteral("CMFSTARTFile1"))->trigger();
    messages_ << answerer.texts;
  }
  // A file that is not UTF-8 text: shown read-only with a note.
  {
    QTemporaryDir scratch;
    const QString latin = scratch.filePath(QStringLiteral("prices-latin1.txt"));
    QFile out(latin);
    if (out.open(QIODevice::WriteOnly)) {
      out.write("! Prix r\xe9"
                "els, ann\xe9"
                "e de base\nfood  1.00\nmanuf 1.00\nservices 1.00\n");
      out.close();
    }
    test::ModalWatch watch(test::IsA<TOrfEditDlg>(), [this](QWidget* window) {
      Picture(window, QStringLiteral("editor-not-utf8"));
      window->close();
    });
    TextEditorRequest request;
    request.file = latin.toStdString();
    request.title = "Editing";
    request.editable = true;
    request.returnCaption = "&Back to Orvane";
    program_->Ui().OpenTextEditor(request);
  }
  // The about box, then its diagnostics window once the compiler's report is in.
  {
    test::ModalWatch about(test::IsA<TvxAboutBox>(), [this](QWidget* aboutWindow) {
      Picture(aboutWindow, QStringLiteral("about-box"));
      test::ModalWatch diagnostics(test::IsA<TvxDiagForm>(), [this](QWidget* window) {
        auto* form = static_cast<TvxDiagForm*>(window);
        static_cast<void>(QTest::qWaitFor([form] { return !form->Watching(); }, 10000));
        Picture(form, QStringLiteral("diagnostics"));
        form->Memo()->moveCursor(QTextCursor::End);
        Picture(form, QStringLiteral("diagnostics-end"));
        QTest::mouseClick(form->OkButton(), Qt::LeftButton);
      });
      QTest::mouseClick(static_cast<TvxAboutBox*>(aboutWindow)->DiagnosticsButton(), Qt::LeftButton);
      static_cast<TvxAboutBox*>(aboutWindow)->OkButton()->click();
    });
    Form().Action(QStringLiteral("AboutDiagnostics1"))->trigger();
  }
}

int Tour::MeasureStart() {
  firstTick_ = false;
  if (!Start(0, QString())) {
    return 1;
  }
  std::cout << "painted " << startToPaint_ << " ms, CPU " << startCpu_ << " ms\n";
  return startToPaint_ >= 0 ? 0 : 1;
}

int Tour::Run() {
  QDir().mkpath(outDir_);
  // Minimal, the chooser answered at once: the start-up that is measured.
  if (!Start(0, QString())) {
    return 1;
  }
  Pages(QStringLiteral("minimal"));
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("results-before-solve")); };
    ClickTab(kResultsPage);
    static_cast<void>(QTest::qWaitFor([&answerer] { return !answerer.texts.isEmpty(); }, 2000));
    messages_ << answerer.texts;
  }
  ClickTab(kClosurePageIndex);
  Form().Action(QStringLiteral("Copy1"))->trigger();
  ScreenPicture(QStringLiteral("copy-closure-note"));
  Settle(1200); // the note goes

  OpenMenu(QStringLiteral("File1"), QStringLiteral("menu-file"));
  OpenMenu(QStringLiteral("View1"), QStringLiteral("menu-view"));
  {
    QMenu* view = Form().Menu(QStringLiteral("View1"));
    QMenuBar* bar = Form().menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(view->menuAction()).center());
    static_cast<void>(QTest::qWaitFor([view] { return view->isVisible(); }, 2000));
    QMenu* inputs = Form().Menu(QStringLiteral("InputDataFiles1"));
    view->setActiveAction(inputs->menuAction());
    inputs->popup(view->mapToGlobal(view->actionGeometry(inputs->menuAction()).topRight()));
    static_cast<void>(QTest::qWaitFor([inputs] { return inputs->isVisible(); }, 2000));
    ScreenPicture(QStringLiteral("menu-view-input-data"));
    inputs->close();
    view->close();
  }
  OpenMenu(QStringLiteral("Options1"), QStringLiteral("menu-options"));
  OpenMenu(QStringLiteral("Help1"), QStringLiteral("menu-help"));

  // The input list's right-click menu, and what it tells about a file.
  ClickTab(kModelDataPageIndex);
  ModelDataPageWidget* data = Form().ModelDataPage();
  QListWidget* list = data->InputList();
  const QPoint line = list->visualItemRect(list->item(0)).center();
  data->OrigDataFilesCMFListBoxMouseDown(0, list->viewport()->mapToGlobal(line));
  static_cast<void>(QTest::qWaitFor([data] { return data->Popup()->isVisible(); }, 2000));
  ScreenPicture(QStringLiteral("data-files-popup"));
  data->Popup()->close();
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("tell-me-more")); };
    Form().findChild<QAction*>(QStringLiteral("TellMeMore1"))->trigger();
    messages_ << answerer.texts;
  }

  // Help on the Output files page.
  ClickTab(kOutputFilesPage);
  Form().activateWindow();
  static_cast<void>(QTest::qWaitForWindowActive(&Form()));
  QTest::keyClick(&Form(), Qt::Key_F1);
  if (HelpWindow* help = program_->Ui().OpenHelpWindow(program_->Core().App.HelpFile)) {
    Picture(help, QStringLiteral("help-output-files"));
    help->FindNext(QStringLiteral("solution"));
    Picture(help, QStringLiteral("help-find"));
    help->close();
  }
  Form().Action(QStringLiteral("HelpOnThisModel1"))->trigger();
  if (HelpWindow* help = program_->Ui().OpenHelpWindow(program_->Core().CustomModel.modelHelp)) {
    Picture(help, QStringLiteral("help-on-this-model"));
    help->close();
  }

  // Memory and speed of the idle window.
  ClickTab(kPicturePage);
  Settle(1000);
  idleMegabytes_ = ResidentMegabytes();
  MeasurePageChanges();

  Tools();

  // A solve of Minimal and its results.
  if (Solve(QStringLiteral("minimal"))) {
    MinimalResults();
  }

  // Developer mode, as the About/Diagnostics dialog enters it.
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("developer-mode")); };
    program_->Core().GoDevMode();
    Form().Refresh();
    messages_ << answerer.texts;
  }
  ClickTab(kTitlePage);
  Picture(&Form(), QStringLiteral("developer-title"));
  ClickTab(kModelDataPageIndex);
  Picture(&Form(), QStringLiteral("developer-model-data"));
  OpenMenu(QStringLiteral("Developer1"), QStringLiteral("menu-developer"));
  OpenMenu(QStringLiteral("Options1"), QStringLiteral("menu-options-developer"));
  Form().close();
  Settle();

  // Trade, chosen in the chooser.
  if (!Start(1, QStringLiteral("chooser"))) {
    return 1;
  }
  Pages(QStringLiteral("trade"));
  if (Solve(QStringLiteral("trade"))) {
    TradeResults();
  }
  Form().close();
  Settle();

  std::sort(pageChanges_.begin(), pageChanges_.end());
  std::ofstream figures((outDir_ + QStringLiteral("/figures.txt")).toStdString(), std::ios::app);
  for (std::ostream* out : {static_cast<std::ostream*>(&figures), &std::cout}) {
    *out << "start to painted main window (two models, chooser answered), in the tour: " << startToPaint_
         << " ms, CPU " << startCpu_ << " ms\n"
         << "page change: median " << pageChanges_[pageChanges_.size() / 2] << " ms, max "
         << pageChanges_.back() << " ms over " << pageChanges_.size() << " changes\n"
         << "idle resident memory: " << idleMegabytes_ << " MB\n";
  }
  std::cout << "messages shown:\n";
  for (const QString& text : messages_) {
    std::cout << "  " << text.toStdString() << "\n";
  }
  return 0;
}

} // namespace
} // namespace pelorin

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelorin"));
  if (argc != 3) {
    std::cerr << "usage: pelorin_tour PROGRAM_DIR OUT_DIR\n";
    return 2;
  }
  pelorin::Tour tour(argv[1], QString::fromLocal8Bit(argv[2]));
  return std::string_view(argv[2]) == "--start" ? tour.MeasureStart() : tour.Run();
}
