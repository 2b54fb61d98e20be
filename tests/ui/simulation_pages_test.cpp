// The Closure, Shocks and Solve pages driven through their real widgets, offscreen, over an installed program
// folder whose suite programs really run: a shock built with the controls and solved, the wait dialog and
// its Cancel, Trade's closure check, the method dialog's refusals and the subtotal dialogs.

#include "app/application.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"
#include "ui/acc_summary_dlg.h"
#include "ui/choice_combo_box.h"
#include "ui/closure_page_widget.h"
#include "ui/main_form.h"
#include "ui/orf_edit_dlg.h"
#include "ui/qt_user_interface.h"
#include "ui/results_grid.h"
#include "ui/results_page_widget.h"
#include "ui/shocks_page_widget.h"
#include "ui/solve_method_window.h"
#include "ui/solve_page_widget.h"
#include "ui/subtotal_window.h"
#include "ui/wait_form.h"
#include "ui/window_program.h"
#include "ui_driver.h"
#include "views/sim_tab_model.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>
#include <filesystem>
#include <memory>

namespace pelorin {

namespace fs = std::filesystem;

class SimulationPagesTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase();
  void cleanup();

  void aShockBuiltWithTheControlsIsSolvedAndTheResultsShown();
  void cancelLeavesTheJobToFinishUnwatched();
  void aFailedSolveShowsItsLogAndHideMinimisesUntilTheEnd();
  void tradesClosureCheckMakesItsRegionsKnown();
  void anInvalidClosureShowsTheCheckLogWithItsErrorLineSelected();
  void theMethodDialogRefusesBadStepsAndCancelKeepsTheOldChoice();
  void theSubtotalDialogsAppendTheirStatementToTheShockList();
  void theValueBoxFiltersKeysAndCopyTakesTheSelection();
  void shocksAndClosureGoThroughTheirFilesAndBack();

private:
  // A program folder holding the installed programs and the named models (copies, so each test may change
  // them), the window program started on it (one model: no chooser), its first tick done.
  void Start(const std::vector<std::string>& models);
  TMainForm& Form() { return *program_->MainForm(); }
  Application& Core() { return program_->Core(); }
  void ClickTab(int page);
  void Click(QAbstractButton* button);
  // Picks the entry of a choice whose text is `text`.
  static bool Choose(QComboBox* combo, const QString& text);
  // Waits until no job is watched; the images the wait dialog showed meanwhile are collected.
  bool WaitForTheJob(int timeoutMs = 60000);

  std::unique_ptr<test::TempDir> master_;
  std::string masterDir_;
  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<test::SavedEnvironment> environment_;
  std::unique_ptr<WindowProgram> program_;
  std::string prog_;
  std::vector<int> images_;
  std::vector<int> exits_;
};

void SimulationPagesTest::initTestCase() {
  master_ = std::make_unique<test::TempDir>();
  masterDir_ = master_->File("dist");
  std::string log;
  QVERIFY2(test::InstallProgramFolder(masterDir_, log), log.c_str());
}

void SimulationPagesTest::cleanup() {
  if (program_ != nullptr && program_->MainForm() != nullptr) {
    program_->MainForm()->close();
  }
  program_.reset();
  dir_.reset();
  environment_.reset();
  images_.clear();
  exits_.clear();
}

void SimulationPagesTest::Start(const std::vector<std::string>& models) {
  dir_ = std::make_unique<test::TempDir>();
  environment_ = std::make_unique<test::SavedEnvironment>();
  const fs::path prog = dir_->File("prog");
  fs::create_directories(prog);
  for (const fs::directory_entry& entry : fs::directory_iterator(masterDir_)) {
    const fs::path target = prog / entry.path().filename();
    if (entry.is_directory()) {
      if (std::find(models.begin(), models.end(), entry.path().filename().string()) != models.end()) {
        fs::copy(entry.path(), target, fs::copy_options::recursive);
      }
    } else if (entry.file_size() > 1000000) {
      fs::create_symlink(entry.path(), target);
    } else {
      fs::copy_file(entry.path(), target);
    }
  }
  prog_ = prog.string();
  program_ =
      std::make_unique<WindowProgram>(prog_ + "/pelorin", [this](int code) { exits_.push_back(code); });
  QCOMPARE(program_->Start(), Application::StartOutcome::Ready);
  test::MessageAnswerer answerer; // what the first tick says about viewers this folder lacks
  Form().DosJobTimerTimer();
}

void SimulationPagesTest::ClickTab(int page) {
  QTabBar* bar = Form().Pages()->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

void SimulationPagesTest::Click(QAbstractButton* button) {
  QVERIFY(button != nullptr);
  QVERIFY(button->isVisible() && button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
}

bool SimulationPagesTest::Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index < 0) {
    return false;
  }
  combo->setCurrentIndex(index);
  return true;
}

bool SimulationPagesTest::WaitForTheJob(int timeoutMs) {
  QTimer watch;
  watch.setInterval(20);
  QObject::connect(&watch, &QTimer::timeout, [this] {
    const TWaitForm* wait = program_->Ui().WaitForm();
    if (wait != nullptr && wait->isVisible() && (images_.empty() || images_.back() != wait->Image())) {
      images_.push_back(wait->Image());
    }
  });
  watch.start();
  return QTest::qWaitFor([this] { return !Core().Jobs.Running() && !Form().Timer().isActive(); }, timeoutMs);
}

void SimulationPagesTest::aShockBuiltWithTheControlsIsSolvedAndTheResultsShown() {
  Start({"Minimal"});
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  QVERIFY(!shocks->TypeChoice()->isVisible()); // the page works with its single type
  QVERIFY(!shocks->ElementsGroup()->isVisible());
  QVERIFY(!shocks->ValueEdit()->isVisible());
  Click(shocks->ClearButton());
  QCOMPARE(shocks->ShockText()->toPlainText(), QString());

  // Ten percent more labour becomes twelve, income stays at five percent.
  QVERIFY(Choose(shocks->VariableChoice(), QStringLiteral("qfac")));
  QVERIFY(shocks->ElementsGroup()->isVisible());
  QCOMPARE(shocks->DescriptionLabel()->text(), QStringLiteral("Factor supply"));
  QCOMPARE(shocks->DimensionsLabel()->text(), QStringLiteral("Dimensions: FAC"));
  QVERIFY(!shocks->DimensionChoice(1)->isVisible());
  QVERIFY(Choose(shocks->DimensionChoice(0), QStringLiteral("labour")));
  QTest::keyClicks(shocks->ValueEdit(), QStringLiteral("12"));
  QCOMPARE(shocks->PreviewLabel()->text(), QStringLiteral(" Shock qfac(\"labour\") = 12;"));
  Click(shocks->AddButton());
  QVERIFY(Choose(shocks->VariableChoice(), QStringLiteral("income")));
  QVERIFY(!shocks->ElementsGroup()->isVisible());
  QTest::keyClicks(shocks->ValueEdit(), QStringLiteral("5"));
  Click(shocks->AddButton());
  QCOMPARE(shocks->ShockText()->toPlainText(),
           QStringLiteral(" Shock qfac(\"labour\") = 12;\n Shock income = 5;"));

  // Solve: the wait dialog over a disabled main window, closed when the chain ends on the Results page.
  ClickTab(kSolvePageIndex);
  SolvePageWidget* solve = Form().SolvePage();
  QCOMPARE(solve->MethodLabel()->text(), QStringLiteral("Gragg: 2-4-6 steps extrapolation"));
  QVERIFY(!solve->LookAtCmfButton()->isVisible());
  test::MessageAnswerer answerer;
  // Three solutions: the accuracy summary comes up before the message.
  test::ModalWatch accuracy(
      test::IsA<TAccSummaryDlg>(),
      [](QWidget* window) {
        QTest::mouseClick(static_cast<TAccSummaryDlg*>(window)->OkButton(), Qt::LeftButton);
      },
      60000);
  Click(solve->SolveButton());
  TWaitForm* wait = program_->Ui().WaitForm();
  QVERIFY(wait != nullptr && wait->isVisible());
  QCOMPARE(wait->windowTitle(), QStringLiteral("Please Wait - KALVIMO at work"));
  QCOMPARE(wait->TextLabel()->text(), QStringLiteral("Calculating Solution"));
  QCOMPARE(wait->Image(), 1);
  QVERIFY(!(wait->windowFlags() &
            (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
  QVERIFY(!Form().isEnabled());
  QVERIFY(wait->isEnabled() && wait->CancelButton()->isEnabled());
  QVERIFY(Form().Timer().isActive());
  QVERIFY(WaitForTheJob());
  QVERIFY(accuracy.Acted());
  QVERIFY(!wait->isVisible());
  QVERIFY(Form().isEnabled());
  QCOMPARE(answerer.texts.size(), 1);
  QVERIFY(answerer.texts[0].startsWith(QStringLiteral("New Solution generated in ")));
  QVERIFY(answerer.texts[0].endsWith(QStringLiteral(" seconds\nMoving to Results Page")));
  // One image per tick, in turn.
  QVERIFY(images_.size() >= 2);
  for (std::size_t i = 0; i < images_.size(); ++i) {
    QCOMPARE(images_[i], static_cast<int>(i % 4) + 1);
  }
  QCOMPARE(Form().Pages()->currentIndex(), int(kResultsPage));
  ResultsGrid* grid = Form().ResultsPage()->ContentsGrid();
  QVERIFY(grid->isVisible());
  bool listed = false;
  for (int r = 1; r <= grid->Model().rowCount(); ++r) {
    listed = listed || grid->Model().CellText(r, 0) == QStringLiteral("QFAC");
  }
  QVERIFY(listed);

  // The engine's numbers: labour supply 12 percent up from the data's 130.
  const SimTab& contents = Core().Results.ContentsTable();
  int row = 0;
  for (int r = 1; r <= contents.nrow; ++r) {
    row = contents.Cell(r, 0) == "QFAC" ? r : row;
  }
  QVERIFY(row > 0);
  Core().Results.OpenContentsLine(row);
  const SimTab& data = Core().Results.DataTable();
  QCOMPARE(QString::fromStdString(data.Cell(1, 0)), QStringLiteral("labour"));
  QCOMPARE(QString::fromStdString(data.Cell(1, 1)), QStringLiteral("12.00"));
  QCOMPARE(QString::fromStdString(data.Cell(1, 3)), QStringLiteral("145.60"));

  // The command file of the solve, read-only in the built-in editor.
  ClickTab(kSolvePageIndex);
  QVERIFY(solve->LookAtCmfButton()->isVisible());
  QString title;
  QString text;
  bool readOnly = false;
  test::ModalWatch cmf(test::IsA<TOrfEditDlg>(), [&](QWidget* window) {
    auto* editor = static_cast<TOrfEditDlg*>(window);
    title = editor->windowTitle();
    text = editor->Editor()->toPlainText();
    readOnly = editor->Editor()->isReadOnly();
    editor->close();
  });
  Click(solve->LookAtCmfButton());
  QVERIFY(cmf.Acted());
  QVERIFY2(title.contains(QStringLiteral("Simulation Command file")), qPrintable(title));
  QVERIFY(text.contains(QStringLiteral("Shock qfac(\"labour\") = 12;")));
  QVERIFY(readOnly);

  // An edit of the shocks after the solve: the Results page says its results are old.
  answerer.texts.clear();
  ClickTab(kShocksPageIndex);
  shocks->ShockText()->moveCursor(QTextCursor::End);
  QTest::keyClicks(shocks->ShockText(), QStringLiteral(" "));
  ClickTab(kResultsPage);
  QCOMPARE(answerer.texts,
           QStringList{QStringLiteral("Results have not been updated\nto reflect latest settings")});
  QCOMPARE(Form().Pages()->currentIndex(), int(kResultsPage));
  QVERIFY(exits_.empty());
}

void SimulationPagesTest::cancelLeavesTheJobToFinishUnwatched() {
  Start({"Minimal"});
  ClickTab(kSolvePageIndex);
  test::MessageAnswerer answerer;
  answerer.answers = {QStringLiteral("Yes")};
  Click(Form().SolvePage()->SolveButton());
  TWaitForm* wait = program_->Ui().WaitForm();
  QVERIFY(wait != nullptr && wait->isVisible());
  Click(wait->CancelButton());
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Do you really want to kill this job?")});
  QVERIFY(WaitForTheJob());
  QCOMPARE(answerer.texts,
           (QStringList{
               QStringLiteral("Do you really want to kill this job?"),
               QStringLiteral("Solve job aborted via Cancel button"),
               QStringLiteral("However the DOS batch job is still running.\nYou may be able to kill it by "
                              "clicking on this job in the TaskBar and then hitting Control-C.")}));
  QVERIFY(!wait->isVisible());
  QVERIFY(Form().isEnabled());
  QCOMPARE(Form().Pages()->currentIndex(), int(kSolvePageIndex));
  QVERIFY(!Core().App.Solved);
  // The solver was not stopped: it goes on to its end (the log copied beside the solution), and nothing
  // after it runs.
  const std::string output = Core().Model.Model.OutputDir;
  QTRY_VERIFY_WITH_TIMEOUT(fs::exists(output + "/sim1.log") && fs::exists(output + "/sim1.sl4"), 30000);
  QVERIFY(!fs::exists(Core().App.WorkDir + "/praxol.log"));
}

void SimulationPagesTest::aFailedSolveShowsItsLogAndHideMinimisesUntilTheEnd() {
  Start({"Minimal"});
  // Income left endogenous: the solver refuses the closure.
  ClickTab(kClosurePageIndex);
  QPlainTextEdit* closure = Form().ClosurePage()->ClosureText();
  closure->selectAll();
  QTest::keyClicks(closure, QStringLiteral("exogenous QFAC ;"));
  ClickTab(kSolvePageIndex);
  SolvePageWidget* solve = Form().SolvePage();
  QVERIFY(!solve->ErrorLog()->isVisible());
  test::MessageAnswerer answerer;
  Click(solve->SolveButton());
  TWaitForm* wait = program_->Ui().WaitForm();
  QVERIFY(wait != nullptr && wait->isVisible());
  Click(wait->HideButton());
  QVERIFY(Form().isMinimized());
  QVERIFY(WaitForTheJob());
  QVERIFY(!Form().isMinimized()); // restored for the message
  QVERIFY(!wait->isVisible());
  QVERIFY(Form().isEnabled());
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Error at Minimal stage - see log window")});
  QCOMPARE(Form().Pages()->currentIndex(), int(kSolvePageIndex));
  QVERIFY(solve->ErrorLog()->isVisible());
  const QString selected = solve->ErrorLog()->textCursor().selectedText();
  QVERIFY2(selected.contains(QStringLiteral("error")) && !selected.contains(QStringLiteral("The run")),
           qPrintable(selected));
  QVERIFY(!Core().App.Solved);
  Click(solve->HideErrorLogButton());
  QVERIFY(!solve->ErrorLog()->isVisible());
  QVERIFY(!solve->HideErrorLogButton()->isVisible());
}

void SimulationPagesTest::tradesClosureCheckMakesItsRegionsKnown() {
  Start({"Trade"});
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  QVERIFY(Choose(shocks->VariableChoice(), QStringLiteral("tms")));
  QCOMPARE(shocks->DimensionsLabel()->text(), QStringLiteral("Dimensions: COM*REG*REG"));
  ChoiceComboBox* source = shocks->DimensionChoice(1);
  QCOMPARE(source->count(), 1); // only "All REG" until the regions are known
  QCOMPARE(source->itemText(0), QStringLiteral("All REG"));

  // Opening the choice offers the check; Yes goes to the Closure page and runs it.
  test::MessageAnswerer answerer;
  source->showPopup();
  QVERIFY(!source->view()->isVisible());
  QCOMPARE(answerer.texts.size(), 1);
  QVERIFY(answerer.texts[0].startsWith(QStringLiteral("Size and elements of set REG are not yet known.")));
  QVERIFY(answerer.texts[0].endsWith(QStringLiteral("Do you want to check the closure now?")));
  QCOMPARE(Form().Pages()->currentIndex(), int(kClosurePageIndex));
  QVERIFY(program_->Ui().WaitForm()->isVisible());
  QCOMPARE(program_->Ui().WaitForm()->TextLabel()->text(), QStringLiteral("Checking closure"));
  QVERIFY(WaitForTheJob());
  QCOMPARE(answerer.texts.last(), QStringLiteral("Closure is fine"));

  ClickTab(kShocksPageIndex);
  QVERIFY(Choose(shocks->VariableChoice(), QStringLiteral("tms")));
  for (int d = 1; d <= 2; ++d) {
    ChoiceComboBox* regions = shocks->DimensionChoice(d);
    for (const char* region : {"usa", "eu", "asia"}) {
      QVERIFY2(regions->findText(QString::fromLatin1(region)) >= 0, region);
    }
  }
  // "Check Closure" on the page itself says the same.
  answerer.texts.clear();
  ClickTab(kClosurePageIndex);
  Click(Form().ClosurePage()->CheckButton());
  QVERIFY(WaitForTheJob());
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Closure is fine")});
  QVERIFY(!Form().ClosurePage()->ErrorLog()->isVisible());
  // Trade's verbal description is wider than its box: it is shown from its start.
  ClickTab(kSolvePageIndex);
  QVERIFY(Form().SolvePage()->DescriptionEdit()->text().startsWith(QStringLiteral("The EU cuts")));
  QCOMPARE(Form().SolvePage()->DescriptionEdit()->cursorPosition(), 0);
}

void SimulationPagesTest::anInvalidClosureShowsTheCheckLogWithItsErrorLineSelected() {
  Start({"Trade"});
  ClickTab(kClosurePageIndex);
  ClosurePageWidget* closure = Form().ClosurePage();
  QVERIFY(!closure->ErrorLog()->isVisible());
  QVERIFY(!closure->SetSizesButton()->isVisible());
  QVERIFY(!closure->SetSizesLog()->isVisible());
  // Spending left endogenous: too few exogenous variables.
  closure->ClosureText()->selectAll();
  QTest::keyClicks(closure->ClosureText(), QStringLiteral("exogenous TMS AO ;"));
  test::MessageAnswerer answerer;
  Click(closure->CheckButton());
  QVERIFY(!Core().Simulation.Closure.Modified); // the edit was taken before the check
  QVERIFY(WaitForTheJob());
  QCOMPARE(answerer.texts, (QStringList{QStringLiteral("Closure is not valid"),
                                        QStringLiteral("Error at Closure Check stage - see log window")}));
  QVERIFY(closure->ErrorLog()->isVisible());
  QVERIFY(closure->HideErrorLogButton()->isVisible());
  // The line that says what is wrong, not the run's closing line.
  const QString selected = closure->ErrorLog()->textCursor().selectedText();
  QVERIFY2(selected.contains(QStringLiteral("error")) && selected.contains(QStringLiteral("clcheck.cmf:")),
           qPrintable(selected));
  QVERIFY(!closure->ErrorLog()->textCursor().selectedText().contains(QChar::ParagraphSeparator));
  QCOMPARE(closure->ErrorLog()->horizontalScrollBar()->value(), 0); // read from the start of its lines
  QVERIFY(QFontInfo(closure->ErrorLog()->font()).fixedPitch());
  Click(closure->HideErrorLogButton());
  QVERIFY(!closure->ErrorLog()->isVisible());
  QVERIFY(!closure->HideErrorLogButton()->isVisible());
}

void SimulationPagesTest::theMethodDialogRefusesBadStepsAndCancelKeepsTheOldChoice() {
  Start({"Minimal"});
  ClickTab(kSolvePageIndex);
  SolvePageWidget* solve = Form().SolvePage();
  const QString gragg = QStringLiteral("Gragg: 2-4-6 steps extrapolation");
  QCOMPARE(solve->MethodLabel()->text(), gragg);

  // Each refusal keeps the dialog open with the box to mend focused; Cancel then restores the choice.
  test::MessageAnswerer answerer;
  QStringList focused;
  bool shortWithoutAccuracy = false;
  test::ModalWatch refusals(test::IsA<SolveMethodWindow>(), [&](QWidget* window) {
    auto* dialog = static_cast<SolveMethodWindow*>(window);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Choose Solution Method"));
    shortWithoutAccuracy =
        !dialog->AccuracyGroup()->isVisible() && !dialog->AutomaticAccuracyBox()->isVisible();
    const auto steps = [dialog](const char* a, const char* b, const char* c) {
      for (int i = 0; i < 3; ++i) {
        QLineEdit* edit = dialog->StepsEdit(i);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(i == 0 ? a : i == 1 ? b : c));
      }
    };
    const auto ok = [&] {
      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
      // The box to mend has the dialog's focus (offscreen no window is active to hold the application's).
      focused << (dialog->focusWidget() != nullptr ? dialog->focusWidget()->objectName() : QString());
    };
    steps("2", "3", "4");
    ok();
    steps("4", "4", "6");
    ok();
    QTest::mouseClick(dialog->MethodButton(4), Qt::LeftButton); // Midpoint
    QTest::mouseClick(dialog->SolutionsButton(1), Qt::LeftButton);
    QVERIFY(!dialog->StepsEdit(1)->isVisible());
    QVERIFY(!dialog->SubintervalsBox()->isVisible());
    steps("1", "", "");
    ok();
    QTest::mouseClick(dialog->MethodButton(2), Qt::LeftButton); // Euler: its own steps
    QCOMPARE(dialog->StepsEdit(0)->text(), QStringLiteral("3"));
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
  });
  Click(solve->ChangeButton());
  QVERIFY(refusals.Acted());
  QVERIFY(shortWithoutAccuracy);
  QCOMPARE(answerer.texts,
           (QStringList{QStringLiteral("For Gragg or MidPoint,\nSteps must be ALL odd or ALL even"),
                        QStringLiteral("Sequence of steps must be increasing"),
                        QStringLiteral("For Gragg or MidPoint,\nFirst solution must have 2 or more "
                                       "steps")}));
  QCOMPARE(focused, (QStringList{QStringLiteral("StepsEdit2"), QStringLiteral("StepsEdit2"),
                                 QStringLiteral("StepsEdit1")}));
  QCOMPARE(solve->MethodLabel()->text(), gragg);
  QCOMPARE(Core().Simulation.Context.method.method, SolutionMethod::Gragg);
  QCOMPARE(Core().Simulation.Context.method.steps[1], 4);

  // Automatic accuracy (from the settings) makes the dialog taller; two solutions switch it off again.
  Core().Simulation.Context.method.automaticAccuracy = true;
  int tall = 0;
  int shorter = 0;
  test::ModalWatch accuracy(test::IsA<SolveMethodWindow>(), [&](QWidget* window) {
    auto* dialog = static_cast<SolveMethodWindow*>(window);
    QVERIFY(dialog->AccuracyGroup()->isVisible());
    tall = dialog->height();
    QTest::mouseClick(dialog->SolutionsButton(2), Qt::LeftButton);
    QVERIFY(!dialog->AccuracyGroup()->isVisible());
    QTest::qWait(20);
    shorter = dialog->height();
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
  });
  Click(solve->ChangeButton());
  QVERIFY(accuracy.Acted());
  QVERIFY2(shorter < tall, qPrintable(QStringLiteral("%1 %2").arg(shorter).arg(tall)));
  QCOMPARE(solve->MethodLabel()->text(), QStringLiteral("Gragg: 2-4 steps extrapolation"));
  QVERIFY(!Core().Simulation.Context.method.automaticAccuracy);
}

void SimulationPagesTest::theSubtotalDialogsAppendTheirStatementToTheShockList() {
  Start({"Minimal"});
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  const QString before = shocks->ShockText()->toPlainText();
  test::MessageAnswerer answerer;
  QStringList variables;
  QString proposal;
  bool cancelHidden = false;
  // The description dialog comes up from inside the subtotal dialog's OK.
  test::ModalWatch description(
      test::IsA<TSbtDescF>(),
      [&](QWidget* window) {
        auto* dialog = static_cast<TSbtDescF*>(window);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Subtotal Description"));
        proposal = dialog->DescriptionEdit()->text();
        cancelHidden = !dialog->CancelButton()->isVisible();
        dialog->DescriptionEdit()->selectAll();
        QTest::keyClicks(dialog->DescriptionEdit(), QStringLiteral("labour and income"));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
      },
      30000);
  test::ModalWatch subtotal(test::IsA<SubtotalWindow>(), [&](QWidget* window) {
    auto* dialog = static_cast<SubtotalWindow*>(window);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Specify Subtotal"));
    for (int i = 0; i < dialog->VariableChoice()->count(); ++i) {
      variables << dialog->VariableChoice()->itemText(i);
    }
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);  // nothing added yet
    QTest::mouseClick(dialog->AddButton(), Qt::LeftButton); // no variable chosen
    QVERIFY(Choose(dialog->VariableChoice(), QStringLiteral("QFAC")));
    QCOMPARE(dialog->DimensionsLabel()->text(), QStringLiteral("Dimensions: FAC"));
    QCOMPARE(dialog->PreviewLabel()->text(), QStringLiteral(" QFAC"));
    QVERIFY(Choose(dialog->DimensionChoice(0), QStringLiteral("labour")));
    QCOMPARE(dialog->PreviewLabel()->text(), QStringLiteral(" QFAC(\"labour\")"));
    QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
    QVERIFY(Choose(dialog->VariableChoice(), QStringLiteral("INCOME")));
    QVERIFY(!dialog->ElementsGroup()->isVisible());
    QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
    QCOMPARE(dialog->SubtotalLines()->count(), 3);
    QCOMPARE(dialog->SubtotalLines()->item(1)->text(), QStringLiteral(" QFAC(\"labour\")"));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
  });
  Click(shocks->DefineSubtotalButton());
  QVERIFY(subtotal.Acted());
  QVERIFY(description.Acted());
  QCOMPARE(variables, (QStringList{"None Selected", "INCOME", "QFAC"}));
  QCOMPARE(answerer.texts, (QStringList{QStringLiteral("You did not add any subtotal !"),
                                        QStringLiteral("You have not selected a variable !")}));
  QCOMPARE(proposal, QStringLiteral("QFAC(\"labour\") INCOME changes"));
  QVERIFY(cancelHidden);
  QCOMPARE(shocks->ShockText()->toPlainText(),
           before + QStringLiteral("\nSubtotal QFAC(\"labour\") INCOME = labour and income ;"));
  QCOMPARE(Core().Simulation.Shocks.Lines.back(),
           std::string("Subtotal QFAC(\"labour\") INCOME = labour and income ;"));

  // Cancel appends nothing.
  test::ModalWatch cancel(test::IsA<SubtotalWindow>(), [](QWidget* window) {
    auto* dialog = static_cast<SubtotalWindow*>(window);
    QVERIFY(Choose(dialog->VariableChoice(), QStringLiteral("INCOME")));
    QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
  });
  const std::size_t lines = Core().Simulation.Shocks.Lines.size();
  Click(shocks->DefineSubtotalButton());
  QVERIFY(cancel.Acted());
  QCOMPARE(Core().Simulation.Shocks.Lines.size(), lines);
}

void SimulationPagesTest::theValueBoxFiltersKeysAndCopyTakesTheSelection() {
  Start({"Minimal"});
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  QVERIFY(Choose(shocks->VariableChoice(), QStringLiteral("income")));
  // A comma becomes a point; letters other than E and e are dropped.
  QTest::keyClicks(shocks->ValueEdit(), QStringLiteral("1,5xE-2q"));
  QCOMPARE(shocks->ValueEdit()->text(), QStringLiteral("1.5E-2"));
  QCOMPARE(shocks->PreviewLabel()->text(), QStringLiteral(" Shock income = 1.5E-2;"));
  QTest::keyClicks(shocks->ValueEdit(), QStringLiteral("123456789012"));
  QCOMPARE(shocks->ValueEdit()->text().size(), 14);
  // Pasted in, a bad number is refused when added.
  QApplication::clipboard()->setText(QStringLiteral("1.2.3"));
  shocks->ValueEdit()->selectAll();
  QTest::keyClick(shocks->ValueEdit(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(shocks->ValueEdit()->text(), QStringLiteral("1.2.3"));
  const std::size_t lines = Core().Simulation.Shocks.Lines.size();
  test::MessageAnswerer answerer;
  Click(shocks->AddButton());
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Bad numeric format !")});
  QCOMPARE(Core().Simulation.Shocks.Lines.size(), lines);
  QCOMPARE(Form().focusWidget(), static_cast<QWidget*>(shocks->ValueEdit()));

  // Copy takes the selection of the shock text when there is one, then the selection is gone.
  QPlainTextEdit* text = shocks->ShockText();
  QTextCursor cursor(text->document());
  cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
  text->setTextCursor(cursor);
  const QString expected = cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  QVERIFY(!expected.isEmpty());
  Form().Action(QStringLiteral("Copy1"))->trigger();
  QCOMPARE(QApplication::clipboard()->text(), expected);
  QVERIFY(!text->textCursor().hasSelection());
  Form().Action(QStringLiteral("Copy1"))->trigger();
  QCOMPARE(QApplication::clipboard()->text(), text->toPlainText() + QLatin1Char('\n'));
}

void SimulationPagesTest::shocksAndClosureGoThroughTheirFilesAndBack() {
  Start({"Minimal"});
  QStringList titles;
  QStringList directories;
  const auto choose = [&](const char* name) {
    return std::make_unique<test::ModalWatch>(
        test::IsA<QFileDialog>(), [&titles, &directories, name](QWidget* window) {
          auto* dialog = static_cast<QFileDialog*>(window);
          titles << dialog->windowTitle();
          directories << QDir(dialog->directory()).dirName();
          test::ChooseInFileDialog(dialog, QDir(dialog->directory()).filePath(QString::fromLatin1(name)));
        });
  };
  // The shock list saved, cleared and loaded back.
  ClickTab(kShocksPageIndex);
  ShocksPageWidget* shocks = Form().ShocksPage();
  const QString shockText = shocks->ShockText()->toPlainText();
  {
    auto watch = choose("more.shf");
    Click(shocks->SaveButton());
    QVERIFY(watch->Acted());
  }
  Click(shocks->ClearButton());
  QCOMPARE(shocks->ShockText()->toPlainText(), QString());
  {
    auto watch = choose("more.shf");
    Click(shocks->LoadButton());
    QVERIFY(watch->Acted());
  }
  QCOMPARE(shocks->ShockText()->toPlainText(), shockText);

  // The closure too; a name that is not a variable is warned about when it is loaded.
  ClickTab(kClosurePageIndex);
  ClosurePageWidget* closure = Form().ClosurePage();
  closure->ClosureText()->selectAll();
  QTest::keyClicks(closure->ClosureText(), QStringLiteral("exogenous QFAC nothing ;"));
  test::MessageAnswerer answerer;
  {
    auto watch = choose("odd.cls");
    Click(closure->SaveButton());
    QVERIFY(watch->Acted());
  }
  QCOMPARE(answerer.texts,
           QStringList{QStringLiteral("Warning: \"nothing\"\nis not a variable.\nPlease amend closure.")});
  closure->ClosureText()->selectAll();
  QTest::keyClicks(closure->ClosureText(), QStringLiteral("rest endogenous ;"));
  answerer.texts.clear();
  {
    auto watch = choose("odd.cls");
    Click(closure->LoadButton());
    QVERIFY(watch->Acted());
  }
  QCOMPARE(closure->ClosureText()->toPlainText(), QStringLiteral("exogenous QFAC nothing ;"));
  QCOMPARE(answerer.texts.size(), 1);
  QCOMPARE(titles, (QStringList{QStringLiteral("Save Shock File"), QStringLiteral("Shock File "),
                                QStringLiteral("Save Closure File"), QStringLiteral("Closure File ")}));
  QCOMPARE(directories, QStringList(4, QStringLiteral("Minimal")));
}

} // namespace pelorin

QTEST_MAIN(pelorin::SimulationPagesTest)
#include "simulation_pages_test.moc"
