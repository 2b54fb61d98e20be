// The tour: drives the window program over an installed program folder (Minimal and Trade) as a person would,
// by its own widgets and events, and saves a picture of each step. Run by scripts/tour.sh under a real X
// server; it also measures start-up, page changes and the idle window's memory.
//
//   pelorin_tour PROGRAM_DIR OUT_DIR      the tour; its pictures and figures.txt go into OUT_DIR
//   pelorin_tour PROGRAM_DIR --start      only the start: prints the time from process start to the painted
//                                         main window, the chooser answered at once
//
// It also solves a Trade of 40 regions and 60 commodities from the window (about 200,000 equations) with an
// event-loop probe running, and gives the longest gap between two handled events while the chain ran.

#include "app/application.h"
#include "results/results_page.h"
#include "tour_viewers.h"
#include "ui/about_box.h"
#include "ui/acc_summary_dlg.h"
#include "ui/choice_combo_box.h"
#include "ui/closure_page_widget.h"
#include "ui/cust_chus_form.h"
#include "ui/diag_form.h"
#include "ui/help_window.h"
#include "ui/inspectr_dlg.h"
#include "ui/main_form.h"
#include "ui/model_data_page_widget.h"
#include "ui/orf_edit_dlg.h"
#include "ui/qt_user_interface.h"
#include "ui/results_grid.h"
#include "ui/results_page_widget.h"
#include "ui/shocks_page_widget.h"
#include "ui/solve_method_window.h"
#include "ui/solve_page_widget.h"
#include "ui/srch_dlg.h"
#include "ui/subtotal_window.h"
#include "ui/up_down_button.h"
#include "ui/vexmoor_notifier.h"
#include "ui/wait_form.h"
#include "ui/window_program.h"
#include "ui_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
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
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string_view>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// The time from its making to the end of the first paint of a window that `match` accepts: when a person
// sees the window.
class FirstPaintClock : public QObject {
public:
  explicit FirstPaintClock(std::function<bool(QWidget*)> match) : match_(std::move(match)) {
    clock_.start();
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~FirstPaintClock() override { QCoreApplication::instance()->removeEventFilter(this); }
  FirstPaintClock(const FirstPaintClock&) = delete;
  FirstPaintClock& operator=(const FirstPaintClock&) = delete;

  /// From the making to the window's show event (negative when none came).
  double ShownMilliseconds() const { return shown_; }
  /// Waits for the paint; negative when it did not come.
  double Milliseconds() {
    static_cast<void>(QTest::qWaitFor([this] { return milliseconds_ >= 0; }, 2000));
    return milliseconds_;
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (shown_ < 0 && event->type() == QEvent::Show && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow() && match_(static_cast<QWidget*>(watched))) {
      shown_ = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
    }
    if (!painting_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        match_(static_cast<QWidget*>(watched)->window())) {
      painting_ = true;
      // The window's other widgets paint in the same pass; a zero timer fires after it.
      QTimer::singleShot(0, this,
                         [this] { milliseconds_ = static_cast<double>(clock_.nsecsElapsed()) / 1e6; });
    }
    return false;
  }

private:
  std::function<bool(QWidget*)> match_;
  QElapsedTimer clock_;
  bool painting_ = false;
  double shown_ = -1;
  double milliseconds_ = -1;
};

// Ticks as often as the event loop lets it: the longest gap between two ticks is the longest time the loop
// spent on one event.
class EventLoopProbe {
public:
  EventLoopProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0) {
        longest_ = std::max(longest_, now - last_);
      }
      last_ = now;
      ++ticks_;
    });
    clock_.start();
    timer_.start();
  }
  double LongestGapMilliseconds() const { return static_cast<double>(longest_) / 1e6; }
  long Ticks() const { return ticks_; }

private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1;
  qint64 longest_ = 0;
  long ticks_ = 0;
};

// Text data for harmake: Trade's base data and tariffs over many regions and commodities, the three regions
// and commodities its settings name first.
void WriteBigTradeData(const fs::path& folder, int regions, int commodities) {
  std::vector<std::string> reg = {"usa", "eu", "asia"};
  std::vector<std::string> com = {"food", "manuf", "services"};
  for (int r = 4; r <= regions; ++r) {
    reg.push_back("r" + std::to_string(r));
  }
  for (int c = 4; c <= commodities; ++c) {
    com.push_back("c" + std::to_string(c));
  }
  const auto strings = [](std::ostream& out, const char* name, const std::vector<std::string>& items) {
    out << "header " << name << " \"" << name << "\"\n  type 1C\n  length 12\n";
    for (const std::string& item : items) {
      out << "  string " << item << "\n";
    }
    out << "end\n";
  };
  const auto sets = [&](std::ostream& out, const char* name, int dimensions) {
    out << "header " << name << " \"" << name << "\"\n  type RE\n  set COM";
    for (const std::string& c : com) {
      out << " " << c;
    }
    for (int d = 1; d < dimensions; ++d) {
      out << "\n  set REG";
      for (const std::string& r : reg) {
        out << " " << r;
      }
    }
    out << "\n  values\n";
  };
  unsigned state = 20261209;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
  };
  std::ofstream base(folder / "basedata.txt");
  base << "flavour lahey\nbookkeeping \"harmake\"\nhistory \"Many regions\"\n";
  strings(base, "REG", reg);
  strings(base, "COM", com);
  sets(base, "VXMD", 3);
  for (int d = 0; d < regions; ++d) {
    for (int s = 0; s < regions; ++s) {
      for (int c = 0; c < commodities; ++c) {
        base << " " << static_cast<int>((s == d ? 200 : 5) + 100 * next());
      }
      base << "\n";
    }
  }
  base << "end\n";
  sets(base, "SIGM", 1);
  for (int c = 0; c < commodities; ++c) {
    base << " " << 1.5 + (c % 5) * 0.5;
  }
  base << "\nend\n";
  sets(base, "ETA", 1);
  for (int c = 0; c < commodities; ++c) {
    base << " " << 0.5 + (c % 3) * 0.5;
  }
  base << "\nend\n";
  std::ofstream tariffs(folder / "tariffs.txt");
  tariffs << "flavour lahey\nbookkeeping \"harmake\"\nhistory \"Many regions\"\n";
  sets(tariffs, "TMS", 3);
  for (int d = 0; d < regions; ++d) {
    for (int s = 0; s < regions; ++s) {
      for (int c = 0; c < commodities; ++c) {
        tariffs << " " << (s == d || c == 2 ? 1.0 : 1.0 + 0.01 * static_cast<int>(15 * next()));
      }
      tariffs << "\n";
    }
  }
  tariffs << "end\n";
}

// Closes the accuracy summary a solve shows.
void CloseAccuracySummary(QWidget* window) {
  QTest::mouseClick(static_cast<TAccSummaryDlg*>(window)->OkButton(), Qt::LeftButton);
}

// Picks the entry of a choice whose text is `text`.
bool Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index >= 0) {
    combo->setCurrentIndex(index);
  }
  return index >= 0;
}

// Replaces the text of a line box as a person would.
void Retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
  if (text.isEmpty()) {
    QTest::keyClick(edit, Qt::Key_Delete);
  }
}

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
  // Starts the program over `folder` (the folder of one model: no chooser).
  bool StartIn(const std::string& folder);
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
  // Minimal solved through the window: a shock from the controls, the subtotal and method dialogs, the wait
  // dialog, the Results page and the command file.
  void MinimalSolve();
  // Trade's closure checked (the regions it makes known in the Shocks page's choices), then a wrong closure.
  void TradeClosure();
  // Trade over many regions solved from the window with the event-loop probe running.
  bool ProbeLongSolve();
  // Opens a dialog five times (`open`, closed by `close`), timed from the call to its first paint.
  void TimeOpening(const std::string& name, const std::function<bool(QWidget*)>& match,
                   const std::function<void()>& open, const std::function<void(QWidget*)>& close);
  void TimeDialogOpenings();
  // Runs the event loop until no job is watched any more.
  void WaitForTheJob(int timeoutMs);
  void CloseForm();
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
  std::map<int, double> slowestPageChange_;
  std::vector<std::pair<std::string, std::vector<double>>> openings_;
  std::string longSolve_;
  std::string waitOpening_;
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
      slowestPageChange_[page] = std::max(slowestPageChange_[page], pageChanges_.back());
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

bool Tour::StartIn(const std::string& folder) {
  const std::string saved = programDir_;
  programDir_ = folder;
  const bool started = Start(0, QString());
  programDir_ = saved;
  return started;
}

void Tour::WaitForTheJob(int timeoutMs) {
  QEventLoop loop;
  QTimer check;
  check.setInterval(20);
  QObject::connect(&check, &QTimer::timeout, [this, &loop] {
    if (!program_->Core().Jobs.Running() && !Form().Timer().isActive()) {
      loop.quit();
    }
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  check.start();
  loop.exec();
}

void Tour::CloseForm() {
  test::MessageAnswerer answerer;
  Form().close();
  Settle();
  messages_ << answerer.texts;
}

void Tour::TimeOpening(const std::string& name, const std::function<bool(QWidget*)>& match,
                       const std::function<void()>& open, const std::function<void(QWidget*)>& close) {
  std::vector<double> times;
  for (int round = 0; round < 5; ++round) {
    FirstPaintClock clock(match);
    test::ModalWatch watch(match, [&](QWidget* window) {
      times.push_back(clock.Milliseconds());
      close(window);
    });
    open();
    Settle(20);
  }
  openings_.emplace_back(name, times);
}

void Tour::TimeDialogOpenings() {
  const auto clickCancel = [](QWidget* window) {
    QTest::mouseClick(test::FindButton(window, QStringLiteral("Cancel")), Qt::LeftButton);
  };
  ClickTab(kShocksPageIndex);
  TimeOpening(
      "Specify Subtotal", test::IsA<SubtotalWindow>(),
      [this] { QTest::mouseClick(Form().ShocksPage()->DefineSubtotalButton(), Qt::LeftButton); },
      clickCancel);
  TimeOpening(
      "Subtotal Description", test::IsA<TSbtDescF>(),
      [this] { TSbtDescF::Ask("QFAC changes", program_->Ui(), &Form()); },
      [](QWidget* window) {
        QTest::mouseClick(static_cast<TSbtDescF*>(window)->OkButton(), Qt::LeftButton);
      });
  ClickTab(kSolvePageIndex);
  TimeOpening(
      "Choose Solution Method", test::IsA<SolveMethodWindow>(),
      [this] { QTest::mouseClick(Form().SolvePage()->ChangeButton(), Qt::LeftButton); }, clickCancel);
}

void Tour::MinimalSolve() {
  // Two shocks built with the controls.
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  QTest::mouseClick(shocks->ClearButton(), Qt::LeftButton);
  Choose(shocks->VariableChoice(), QStringLiteral("qfac"));
  Choose(shocks->DimensionChoice(0), QStringLiteral("labour"));
  QTest::keyClicks(shocks->ValueEdit(), QStringLiteral("12"));
  Picture(&Form(), QStringLiteral("minimal-shock-preview"));
  QTest::mouseClick(shocks->AddButton(), Qt::LeftButton);
  Choose(shocks->VariableChoice(), QStringLiteral("income"));
  QTest::keyClicks(shocks->ValueEdit(), QStringLiteral("5"));
  QTest::mouseClick(shocks->AddButton(), Qt::LeftButton);
  Picture(&Form(), QStringLiteral("minimal-shocks-added"));

  // A subtotal over both, and its description.
  {
    test::ModalWatch description(
        test::IsA<TSbtDescF>(),
        [&](QWidget* window) {
          ScreenPicture(QStringLiteral("subtotal-description"));
          QTest::mouseClick(static_cast<TSbtDescF*>(window)->OkButton(), Qt::LeftButton);
        },
        30000);
    test::ModalWatch subtotal(test::IsA<SubtotalWindow>(), [&](QWidget* window) {
      auto* dialog = static_cast<SubtotalWindow*>(window);
      Choose(dialog->VariableChoice(), QStringLiteral("QFAC"));
      Choose(dialog->DimensionChoice(0), QStringLiteral("labour"));
      QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
      Choose(dialog->VariableChoice(), QStringLiteral("INCOME"));
      QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
      Choose(dialog->VariableChoice(), QStringLiteral("QFAC"));
      ScreenPicture(QStringLiteral("subtotal-dialog"));
      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    QTest::mouseClick(shocks->DefineSubtotalButton(), Qt::LeftButton);
  }
  Picture(&Form(), QStringLiteral("minimal-subtotal-added"));

  // The method dialog: a refusal, then Cancel; with automatic accuracy it shows its options.
  ClickTab(kSolvePageIndex);
  SolvePageWidget* solve = Form().SolvePage();
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("method-dialog-refusal")); };
    test::ModalWatch method(test::IsA<SolveMethodWindow>(), [&](QWidget* window) {
      auto* dialog = static_cast<SolveMethodWindow*>(window);
      ScreenPicture(QStringLiteral("method-dialog"));
      Retype(dialog->StepsEdit(2), QStringLiteral("5"));
      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
      QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(solve->ChangeButton(), Qt::LeftButton);
    messages_ << answerer.texts;
  }
  program_->Core().Simulation.Context.method.automaticAccuracy = true;
  {
    test::ModalWatch method(test::IsA<SolveMethodWindow>(), [&](QWidget* window) {
      ScreenPicture(QStringLiteral("method-dialog-automatic-accuracy"));
      QTest::mouseClick(static_cast<SolveMethodWindow*>(window)->CancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(solve->ChangeButton(), Qt::LeftButton);
  }
  program_->Core().Simulation.Context.method.automaticAccuracy = false;

  // The images the wait dialog turns through, side by side.
  {
    const auto& images = TWaitForm::Images();
    QPixmap strip(images[0].width() * 4 + 30, images[0].height());
    strip.fill(Qt::white);
    QPainter painter(&strip);
    for (int i = 0; i < 4; ++i) {
      painter.drawPixmap(i * (images[0].width() + 10), 0, images[static_cast<std::size_t>(i)]);
    }
    painter.end();
    strip.save(outDir_ + QStringLiteral("/%1-wait-images.png").arg(++step_, 2, 10, QLatin1Char('0')));
  }

  // Solve: the wait dialog over the disabled window, the message at the end, the Results page.
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("minimal-solved-message")); };
    test::ModalWatch accuracy(test::IsA<TAccSummaryDlg>(), CloseAccuracySummary, 120000);
    FirstPaintClock clock(test::IsA<TWaitForm>());
    QTest::mouseClick(solve->SolveButton(), Qt::LeftButton);
    const double painted = clock.Milliseconds();
    waitOpening_ = std::to_string(clock.ShownMilliseconds()) +
                   " ms from the Solve click to its show (the job's " +
                   "files written and its program started), " +
                   std::to_string(painted - clock.ShownMilliseconds()) + " ms more to its first paint";
    ScreenPicture(QStringLiteral("minimal-wait-dialog"));
    WaitForTheJob(120000);
    messages_ << answerer.texts;
  }
  Picture(&Form(), QStringLiteral("minimal-after-solve"));
  ClickTab(kSolvePageIndex);
  Picture(&Form(), QStringLiteral("minimal-solve-page-after-solve"));
  // The command file of the solve, in the built-in editor.
  test::ModalWatch cmf(test::IsA<TOrfEditDlg>(), [this](QWidget* window) {
    Picture(window, QStringLiteral("minimal-cmf"));
    window->close();
  });
  QTest::mouseClick(solve->LookAtCmfButton(), Qt::LeftButton);
}

void Tour::TradeClosure() {
  ClickTab(kClosurePageIndex);
  ClosurePageWidget* closure = Form().ClosurePage();
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("trade-closure-fine")); };
    QTest::mouseClick(closure->CheckButton(), Qt::LeftButton);
    WaitForTheJob(60000);
    messages_ << answerer.texts;
  }
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  Choose(shocks->VariableChoice(), QStringLiteral("tms"));
  Picture(&Form(), QStringLiteral("trade-shocks-tms"));
  ChoiceComboBox* source = shocks->DimensionChoice(1);
  source->showPopup();
  ScreenPicture(QStringLiteral("trade-shocks-regions-known"));
  source->hidePopup();

  // Spending left endogenous: the check fails and its log shows the error line.
  ClickTab(kClosurePageIndex);
  const QString rightClosure = closure->ClosureText()->toPlainText();
  closure->ClosureText()->selectAll();
  QTest::keyClicks(closure->ClosureText(), QStringLiteral("exogenous TMS AO ;"));
  {
    test::MessageAnswerer answerer;
    answerer.beforeAnswer = [this](QWidget*) { ScreenPicture(QStringLiteral("trade-closure-not-valid")); };
    QTest::mouseClick(closure->CheckButton(), Qt::LeftButton);
    WaitForTheJob(60000);
    messages_ << answerer.texts;
  }
  Picture(&Form(), QStringLiteral("trade-closure-error-log"));
  // Solved all the same: the solver's log on the Solve page.
  ClickTab(kSolvePageIndex);
  {
    test::MessageAnswerer answerer;
    QTest::mouseClick(Form().SolvePage()->SolveButton(), Qt::LeftButton);
    WaitForTheJob(60000);
    messages_ << answerer.texts;
  }
  Picture(&Form(), QStringLiteral("trade-solve-error-log"));
  ClickTab(kClosurePageIndex);
  // The right closure back: the settings kept when the window closes are what the long solve starts from.
  closure->ClosureText()->selectAll();
  const QStringList lines = rightClosure.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QTest::keyClicks(closure->ClosureText(), lines[i]);
    if (i + 1 < lines.size()) {
      QTest::keyClick(closure->ClosureText(), Qt::Key_Return);
    }
  }
}

bool Tour::ProbeLongSolve() {
  constexpr int kRegions = 40;
  constexpr int kCommodities = 60;
  const fs::path folder = programDir_ + "-many-regions";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  for (const fs::directory_entry& entry : fs::directory_iterator(programDir_)) {
    const fs::path target = folder / entry.path().filename();
    if (entry.is_directory()) {
      if (entry.path().filename() == "Trade") {
        fs::copy(entry.path(), target, fs::copy_options::recursive);
      }
    } else if (entry.path().extension() != ".zip") {
      fs::copy_file(entry.path(), target);
    }
  }
  WriteBigTradeData(folder / "Trade", kRegions, kCommodities);
  for (const char* stem : {"basedata", "tariffs"}) {
    const fs::path text = folder / "Trade" / (std::string(stem) + ".txt");
    const int made = QProcess::execute(QString::fromStdString((folder / "harmake").string()),
                                       {QString::fromStdString(text.string()),
                                        QString::fromStdString((folder / "Trade" / stem).string() + ".har")});
    if (made != 0) {
      std::cerr << "harmake failed on " << text << "\n";
      return false;
    }
  }
  if (!StartIn(folder.string())) {
    return false;
  }
  ClickTab(kSolvePageIndex);
  Settle(200);
  test::MessageAnswerer answerer;
  test::ModalWatch accuracy(test::IsA<TAccSummaryDlg>(), CloseAccuracySummary, 600000);
  QElapsedTimer clock;
  double gap = 0;
  long ticks = 0;
  {
    EventLoopProbe probe;
    clock.start();
    QTest::mouseClick(Form().SolvePage()->SolveButton(), Qt::LeftButton);
    WaitForTheJob(600000);
    gap = probe.LongestGapMilliseconds();
    ticks = probe.Ticks();
  }
  const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
  messages_ << answerer.texts;
  const bool solved = Form().Pages()->currentIndex() == kResultsPage;
  Picture(&Form(), QStringLiteral("many-regions-after-solve"));
  std::ostringstream figure;
  figure << "event loop while Trade with " << kRegions << " regions and " << kCommodities << " commodities ("
         << 2 * kCommodities * kRegions * kRegions + 4 * kCommodities * kRegions + 2 * kRegions
         << " equations) is solved from the window, " << seconds << " s from Solve to "
         << (solved ? "the Results page" : "the end of the chain (NOT SOLVED)")
         << ": longest gap between two handled events " << gap << " ms over " << ticks << " probe ticks\n";
  longSolve_ = figure.str();
  CloseForm();
  fs::remove_all(folder, ec);
  return true;
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
  // Minimal solved again, this time through the controls, and its dialogs timed.
  MinimalSolve();
  TimeDialogOpenings();

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
    // Each viewer the View menu starts on what the solve left.
    const TourPictures pictures{[this](QWidget* window, const QString& name) { Picture(window, name); },
                                [this](const QString& name) { ScreenPicture(name); }};
    if (!TourViewers(*program_, programDir_, pictures, messages_)) {
      return 1;
    }
  }
  TradeClosure();
  CloseForm();
  if (!ProbeLongSolve()) {
    return 1;
  }

  std::sort(pageChanges_.begin(), pageChanges_.end());
  std::ofstream figures((outDir_ + QStringLiteral("/figures.txt")).toStdString(), std::ios::app);
  for (std::ostream* out : {static_cast<std::ostream*>(&figures), &std::cout}) {
    *out << "start to painted main window (two models, chooser answered), in the tour: " << startToPaint_
         << " ms, CPU " << startCpu_ << " ms\n"
         << "page change: median " << pageChanges_[pageChanges_.size() / 2] << " ms, max "
         << pageChanges_.back() << " ms over " << pageChanges_.size() << " changes\n"
         << "idle resident memory: " << idleMegabytes_ << " MB\n"
         << "slowest change to the Closure, Shocks and Solve pages: " << slowestPageChange_[kClosurePageIndex]
         << ", " << slowestPageChange_[kShocksPageIndex] << ", " << slowestPageChange_[kSolvePageIndex]
         << " ms\n";
    for (const auto& [dialog, times] : openings_) {
      *out << "\"" << dialog << "\" from its click to its first paint: ";
      std::vector<double> sorted = times;
      std::sort(sorted.begin(), sorted.end());
      *out << "median " << sorted[sorted.size() / 2] << " ms, max " << sorted.back() << " ms; in turn";
      for (double time : times) {
        *out << " " << time;
      }
      *out << "\n";
    }
    *out << "the wait dialog: " << waitOpening_ << "\n";
    *out << longSolve_;
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
