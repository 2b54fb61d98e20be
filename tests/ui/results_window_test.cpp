// The Results page in the window program, offscreen: after a real solve of Minimal the accuracy summary
// shows, page 8 holds the page over the core's tables, "Export Table as CSV..." follows the page and writes
// the file chosen, and the View menu opens the inspector and the accuracy summary with their help sections.

#include "app/application.h"
#include "results/acc_summary_dialog.h"
#include "results/inspector.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"
#include "ui/acc_summary_dlg.h"
#include "ui/inspectr_dlg.h"
#include "ui/main_form.h"
#include "ui/results_grid.h"
#include "ui/results_page_widget.h"
#include "ui/window_program.h"
#include "ui_driver.h"
#include "views/sim_tab_model.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <memory>

namespace pelorin {

class ResultsWindowTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase() {
    std::string log;
    QVERIFY2(test::InstallProgramFolder(dir_.File("prog"), log), log.c_str());
    program_ = std::make_unique<WindowProgram>(
        dir_.File("prog") + "/pelorin", [](int code) { qFatal("the program ended with code %d", code); });
    test::ModalWatch chooser([](QWidget* window) { return window->inherits("pelorin::TCustChusForm"); },
                             [](QWidget* window) { QMetaObject::invokeMethod(window, "accept"); });
    QCOMPARE(program_->Start(), Application::StartOutcome::Ready);
    test::MessageAnswerer answerer;
    Form().DosJobTimerTimer();
  }

  void cleanupTestCase() {
    if (program_ && program_->MainForm()) {
      program_->MainForm()->close();
    }
    program_.reset();
  }

  void aSolveShowsTheAccuracySummaryAndThenTheResults() {
    QAction* exportTable = Form().Action(QStringLiteral("ExportTableAsCsv1"));
    QVERIFY(exportTable);
    QVERIFY(!exportTable->isEnabled());
    QString caption;
    test::ModalWatch accuracy(
        test::IsA<TAccSummaryDlg>(),
        [&caption](QWidget* window) {
          caption = window->windowTitle();
          QTest::mouseClick(static_cast<TAccSummaryDlg*>(window)->OkButton(), Qt::LeftButton);
        },
        60000);
    test::MessageAnswerer answerer;
    Core().Simulation.Solve.SolveButtonClick();
    Form().Refresh();
    QVERIFY(QTest::qWaitFor([this] { return !Core().Window.timerEnabled && Core().App.Solved; }, 60000));
    QVERIFY(accuracy.Acted());
    QVERIFY(caption.startsWith(QStringLiteral("Overall Accuracy Summary")));
    QVERIFY(!answerer.texts.isEmpty() &&
            answerer.texts.back().startsWith(QStringLiteral("New Solution generated")));

    // Page 8 shows the contents of the core's table, and its table can be exported.
    QCOMPARE(Form().Pages()->currentIndex(), int(kResultsPage));
    ResultsPageWidget* page = Form().ResultsPage();
    QCOMPARE(Form().Pages()->currentWidget(), page);
    QCOMPARE(page->FrontGrid(), page->ContentsGrid());
    QCOMPARE(page->ContentsGrid()->Model().rowCount(), Core().Results.ContentsTable().nrow);
    QCOMPARE(Form().focusWidget(), page->ContentsGrid());
    QVERIFY(exportTable->isEnabled());
    QTabBar* tabs = Form().Pages()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kSolvePageIndex).center());
    QVERIFY(!exportTable->isEnabled());
    QVERIFY(!Core().Results.State().pageActive);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kResultsPage).center());
    QVERIFY(exportTable->isEnabled());
    QVERIFY(Core().Results.State().pageActive);
  }

  void exportWritesTheTableShown() {
    ResultsPageWidget* page = Form().ResultsPage();
    page->ContentsGrid()->SetActiveCell(1, 1);
    QTest::keyClick(page->ContentsGrid(), Qt::Key_Space);
    QCOMPARE(page->FrontGrid(), page->DataGrid());
    const QString file = QString::fromStdString(dir_.File("macros.csv"));
    const std::string lastSaved = dir_.File("saved");
    std::filesystem::create_directories(lastSaved);
    Core().App.LastSaveDir = lastSaved;
    QString title;
    QString startFolder;
    test::ModalWatch dialog(test::IsA<QFileDialog>(), [&](QWidget* window) {
      title = window->windowTitle();
      startFolder = static_cast<QFileDialog*>(window)->directory().absolutePath();
      test::ChooseInFileDialog(window, file);
    });
    Form().Action(QStringLiteral("ExportTableAsCsv1"))->trigger();
    QVERIFY(dialog.Acted());
    QCOMPARE(title, QStringLiteral("Export Table as CSV"));
    QCOMPARE(startFolder, QString::fromStdString(lastSaved));
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    QVERIFY2(text.startsWith("Macros,(Sim),Pre,Post,Chng,more labour,more income\r\n"), text.constData());
    QVERIFY(text.contains("\r\nINCOME,5,"));
    QCOMPARE(Core().App.LastSaveDir, dir_.Path().string());
    QTest::mouseClick(page->ContentsButton(), Qt::LeftButton);
  }

  void theViewMenuOpensTheInspectorAndTheAccuracySummary() {
    QStringList sets;
    test::ModalWatch inspector(test::IsA<TInspectrDlg>(), [&sets](QWidget* window) {
      auto* dialog = static_cast<TInspectrDlg*>(window);
      for (const InspectorItem& item : dialog->Logic().SetItems()) {
        sets << QString::fromStdString(item.text);
      }
      QTest::mouseClick(dialog->HelpButton(), Qt::LeftButton);
      QTest::mouseClick(dialog->ExitButton(), Qt::LeftButton);
    });
    Form().Action(QStringLiteral("SetsSubsetsVariables1"))->trigger();
    QVERIFY(inspector.Acted());
    QCOMPARE(sets, (QStringList{QStringLiteral("COM = Commodities"),
                                QStringLiteral("FAC = Factors of production")}));
    QCOMPARE(Application::MessageHelpTopic(kInspectorHelp), std::string("inspector"));
    QCOMPARE(Application::MessageHelpTopic(kAccSummaryHelp), std::string("accuracy-summary"));

    QAction* accuracyItem = Form().Action(QStringLiteral("AccuracySummary1"));
    Form().Menu(QStringLiteral("View1"))->aboutToShow();
    QVERIFY(accuracyItem->isEnabled());
    test::ModalWatch accuracy(test::IsA<TAccSummaryDlg>(), [](QWidget* window) {
      QTest::mouseClick(static_cast<TAccSummaryDlg*>(window)->OkButton(), Qt::LeftButton);
    });
    accuracyItem->trigger();
    QVERIFY(accuracy.Acted());
  }

private:
  TMainForm& Form() { return *program_->MainForm(); }
  Application& Core() { return program_->Core(); }

  test::SavedEnvironment environment_;
  test::TempDir dir_;
  std::unique_ptr<WindowProgram> program_;
};

} // namespace pelorin

QTEST_MAIN(pelorin::ResultsWindowTest)
#include "results_window_test.moc"
