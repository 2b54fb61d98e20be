// The built-in text editor, its search dialog, the about box and the diagnostics window, driven through their
// real widgets offscreen; and `pelorin --diagnostics` as a real process.

#include "app/application.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"
#include "tools/text_search.h"
#include "ui/about_box.h"
#include "ui/diag_form.h"
#include "ui/main_form.h"
#include "ui/orf_edit_dlg.h"
#include "ui/qt_user_interface.h"
#include "ui/srch_dlg.h"
#include "ui/window_program.h"
#include "ui_driver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextBlock>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

namespace pelorin {

namespace fs = std::filesystem;

class ToolsWindowsTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase();
  void cleanup();

  void readOnlyViewingShowsNoEditingItemsAndAsksNothing();
  void editingEnablesItsItemsWhenTheEditMenuOpens();
  void replaceAskedThreeTimesOrOnceWithAll();
  void absentTextIsReportedOnceAndUpFromTheEndFindsTheLast();
  void wholeWordsAreFoundAtTheStartAndEndOfLines();
  void closingWithNoKeepsTheFileAndSaveAsReturnsTheNewName();
  void aFileThatIsNotTextOpensReadOnlyWithANote();
  void aLargeFileArrivesWhileTheWindowWorks();
  void theViewMenuAndCmfstartOpenTheEditor();
  void theAboutBoxShowsItsLinesAndItsIconEntersDeveloperMode();
  void theDiagnosticsWindowAddsTheCompilersReportAndCopiesAndSaves();
  void diagnosticsFromTheCommandLineNeedNoWindow();

private:
  // Opens `file` in the editor through the window program's user interface and runs `body` on it; the editor
  // is closed afterwards if `body` left it open. Returns the file name the editor gives back.
  std::string WithEditor(const std::string& file, bool editable,
                         const std::function<void(TOrfEditDlg&)>& body,
                         const std::string& title = "Simulation Command file");
  // Runs the search dialog in the given mode with these settings and confirms it.
  static void Search(TOrfEditDlg& editor, bool replace, const QString& find, const QString& replaceWith = {},
                     bool up = false);
  std::string MakeProgramFolder();
  Application::StartOutcome Start(const std::string& programDir);
  TMainForm& Form() { return *program_->MainForm(); }
  Application& Core() { return program_->Core(); }
  // Makes a window the active one, so that its shortcuts work as they do for a person.
  static void Activate(QWidget& window);

  std::unique_ptr<test::TempDir> master_;
  std::string masterDir_;
  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<test::SavedEnvironment> environment_;
  std::unique_ptr<WindowProgram> program_;
  QtUserInterface ui_;
};

void ToolsWindowsTest::initTestCase() {
  master_ = std::make_unique<test::TempDir>();
  masterDir_ = master_->File("dist");
  std::string log;
  QVERIFY2(test::InstallProgramFolder(masterDir_, log), log.c_str());
}

void ToolsWindowsTest::cleanup() {
  if (program_ != nullptr && program_->MainForm() != nullptr) {
    program_->MainForm()->close();
  }
  program_.reset();
  dir_.reset();
  environment_.reset();
}

std::string ToolsWindowsTest::MakeProgramFolder() {
  dir_ = std::make_unique<test::TempDir>();
  environment_ = std::make_unique<test::SavedEnvironment>(std::initializer_list<const char*>{
      "TMP", "TEMP", "KVTEMP", "ORIGINAL_TMP", "ORIGINAL_TEMP", "ORIGINAL_KVTEMP", "KVDIR"});
  ::unsetenv("KVDIR");
  const fs::path prog = dir_->File("prog");
  fs::copy(masterDir_, prog, fs::copy_options::recursive);
  fs::remove_all(prog / "Trade");
  return prog.string();
}

Application::StartOutcome ToolsWindowsTest::Start(const std::string& programDir) {
  program_ = std::make_unique<WindowProgram>(programDir + "/pelorin",
                                             [](int code) { qWarning("fatal exit %d", code); });
  const Application::StartOutcome outcome = program_->Start();
  if (outcome == Application::StartOutcome::Ready) {
    test::MessageAnswerer answerer; // the first tick's notes on missing viewers
    Form().DosJobTimerTimer();
  }
  return outcome;
}

std::string ToolsWindowsTest::WithEditor(const std::string& file, bool editable,
                                         const std::function<void(TOrfEditDlg&)>& body,
                                         const std::string& title) {
  TextEditorRequest request;
  request.file = file;
  request.title = title;
  request.editable = editable;
  request.returnCaption = "&Back to Orvane";
  bool ran = false;
  test::ModalWatch watch(test::IsA<TOrfEditDlg>(), [&](QWidget* window) {
    auto* editor = static_cast<TOrfEditDlg*>(window);
    body(*editor);
    ran = true;
    if (editor->isVisible()) {
      editor->close();
    }
  });
  const std::string returned = ui_.OpenTextEditor(request);
  if (!ran) {
    qWarning("the editor was not shown");
  }
  return returned;
}

void ToolsWindowsTest::Activate(QWidget& window) {
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) {
    qWarning("the window did not become active");
  }
}

void ToolsWindowsTest::Search(TOrfEditDlg& editor, bool replace, const QString& find,
                              const QString& replaceWith, bool up) {
  QString caption;
  test::ModalWatch watch(test::IsA<TSrchDlg1>(), [&](QWidget* window) {
    auto* dialog = static_cast<TSrchDlg1*>(window);
    caption = dialog->windowTitle();
    QCOMPARE(dialog->focusWidget(), dialog->FindEdit());
    QCOMPARE(dialog->FindEdit()->selectedText(), dialog->FindEdit()->text());
    dialog->FindEdit()->setText(find);
    dialog->ReplaceEdit()->setText(replaceWith);
    (up ? dialog->Up() : dialog->Down())->setChecked(true);
    QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
  });
  editor.Action(replace ? QStringLiteral("Replace1") : QStringLiteral("Find1"))->trigger();
  QVERIFY(watch.Acted());
  QCOMPARE(caption, replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
}

void ToolsWindowsTest::readOnlyViewingShowsNoEditingItemsAndAsksNothing() {
  test::TempDir dir;
  const std::string file = dir.Write("sim.cmf", "! Simulation\r\nmethod = euler ;\r\n\tsteps = 2 4 6 ;\r\n");
  test::MessageAnswerer answerer;
  const std::string returned = WithEditor(file, false, [&](TOrfEditDlg& editor) {
    QCOMPARE(editor.windowTitle(), QString::fromStdString("Simulation Command file: " + file));
    QVERIFY(editor.isModal());
    QCOMPARE(editor.Editor()->toPlainText(),
             QStringLiteral("! Simulation\nmethod = euler ;\n\tsteps = 2 4 6 ;\n"));
    QVERIFY(editor.Editor()->isReadOnly());
    QCOMPARE(editor.Editor()->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(QFontInfo(editor.Editor()->font()).fixedPitch());
    const qreal blank = QFontMetricsF(editor.Editor()->font()).horizontalAdvance(QLatin1Char(' '));
    QCOMPARE(editor.Editor()->tabStopDistance(), 8 * blank);

    QStringList bar;
    for (QAction* action : editor.findChild<QMenuBar*>()->actions()) {
      if (action->isVisible()) {
        bar << action->text();
      }
    }
    QCOMPARE(bar, (QStringList{"&Back to Orvane", "&Edit", "&Search"})); // no Help topics given
    QStringList shown;
    for (QMenu* menu : {editor.Menu("Edit1"), editor.Menu("Search1")}) {
      for (QAction* action : menu->actions()) {
        if (action->isVisible()) {
          shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
      }
    }
    QCOMPARE(shown, (QStringList{"&Copy", "&Find...", "Search &again"}));
    QCOMPARE(editor.Action("Find1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    QCOMPARE(editor.Action("SearchAgain1")->shortcut(), QKeySequence(Qt::Key_F3));
    QVERIFY(!editor.Action("SearchAgain1")->isEnabled());

    // The status bar: "Read only" at first, "Read Only" after the first change it reports.
    QCOMPARE(editor.StateField()->text(), QStringLiteral("Read only"));
    QCOMPARE(editor.PositionField()->text(), QStringLiteral("1:1"));
    QCOMPARE(editor.HintField()->text(), QString());
    QTest::keyClick(editor.Editor(), Qt::Key_Down);
    QTest::keyClick(editor.Editor(), Qt::Key_End);
    QCOMPARE(editor.PositionField()->text(), QStringLiteral("2:17"));
    QCOMPARE(editor.StateField()->text(), QStringLiteral("Read Only"));
    // A menu item's hint shows in the hint field.
    editor.Action("Find1")->showStatusText(editor.findChild<QMenuBar*>());
    QCOMPARE(editor.HintField()->text(), QStringLiteral("Shows the \"Find\" window."));

    // Find works read-only, ignoring case; "Search &again" then finds the next one.
    editor.Editor()->moveCursor(QTextCursor::Start);
    Search(editor, false, QStringLiteral("E"));
    QCOMPARE(editor.Editor()->textCursor().selectedText(), QStringLiteral("e"));
    QCOMPARE(editor.Editor()->textCursor().selectionStart(), 14); // "method"
    QVERIFY(editor.Action("SearchAgain1")->isEnabled());
    Activate(editor);
    QTest::keyClick(editor.Editor(), Qt::Key_F3);
    QCOMPARE(editor.Editor()->textCursor().selectionStart(), 22); // "euler"
    // Nothing typed reaches a read-only text, and Ctrl+R does nothing.
    QTest::keyClicks(editor.Editor(), "xyz");
    QTest::keyClick(editor.Editor(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(editor.SearchDialog()->isHidden());
    QCOMPARE(editor.Editor()->toPlainText(),
             QStringLiteral("! Simulation\nmethod = euler ;\n\tsteps = 2 4 6 ;\n"));
    editor.Action("Close1")->trigger();
    QVERIFY(!editor.isVisible());
  });
  QCOMPARE(returned, file);
  QVERIFY(answerer.texts.isEmpty());
  QCOMPARE(test::ReadFileBytes(file),
           std::string("! Simulation\r\nmethod = euler ;\r\n\tsteps = 2 4 6 ;\r\n"));
}

void ToolsWindowsTest::editingEnablesItsItemsWhenTheEditMenuOpens() {
  test::TempDir dir;
  const std::string file = dir.Write("CMFSTART", "start\n");
  test::MessageAnswerer answerer;
  answerer.answers = {QStringLiteral("No")}; // "Save Changes?"
  WithEditor(
      file, true,
      [&](TOrfEditDlg& editor) {
        QCOMPARE(editor.StateField()->text(), QString());
        QStringList shown;
        for (QAction* action : editor.Menu("Edit1")->actions()) {
          shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(shown, (QStringList{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste"}));
        QVERIFY(editor.Action("SaveAs1")->isVisible());
        QVERIFY(editor.Action("Replace1")->isVisible());
        QCOMPARE(editor.Action("Undo1")->statusTip(), QStringLiteral("Undoes your last editing action."));
        QCOMPARE(editor.Action("Redo1")->statusTip(), QStringLiteral("Restores editing undone by \"Undo\"."));

        QApplication::clipboard()->clear();
        const auto enabled = [&editor] {
          editor.Edit1Click();
          std::vector<bool> states;
          for (const char* name : {"Undo1", "Redo1", "Cut1", "Copy1", "Paste1"}) {
            states.push_back(editor.Action(QString::fromLatin1(name))->isEnabled());
          }
          return states;
        };
        QCOMPARE(enabled(), (std::vector<bool>{false, false, false, false, false}));
        editor.Editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor.Editor(), " here");
        QCOMPARE(editor.StateField()->text(), QStringLiteral("Modified"));
        editor.Editor()->selectAll();
        QCOMPARE(enabled(), (std::vector<bool>{true, false, true, true, false}));
        editor.Action("Copy1")->trigger();
        QCOMPARE(enabled(), (std::vector<bool>{true, false, true, true, true}));
        editor.Action("Undo1")->trigger();
        QCOMPARE(editor.Editor()->toPlainText(), QStringLiteral("start\n"));
        QCOMPARE(enabled().at(1), true); // redo
        editor.Action("Redo1")->trigger();
        QCOMPARE(editor.Editor()->toPlainText(), QStringLiteral("start\n here"));
      },
      "CMFSTART file");
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Save Changes?")});
  QCOMPARE(test::ReadFileBytes(file), std::string("start\n"));
}

void ToolsWindowsTest::replaceAskedThreeTimesOrOnceWithAll() {
  test::TempDir dir;
  const std::string file =
      dir.Write("shocks.shf", "shock x = 1 ;\nshock x_y = 2 ;\nshock x = 3 ;\nshock x = 4 ;\n");
  for (const bool all : {false, true}) {
    test::MessageAnswerer answerer;
    answerer.answers =
        all ? std::deque<QString>{QStringLiteral("All")}
            : std::deque<QString>{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Yes")};
    WithEditor(file, true, [&](TOrfEditDlg& editor) {
      QString optionsShown;
      test::ModalWatch watch(test::IsA<TSrchDlg1>(), [&](QWidget* window) {
        auto* dialog = static_cast<TSrchDlg1*>(window);
        QVERIFY(dialog->PromptOnReplace()->isVisible() && dialog->PromptOnReplace()->isChecked());
        QVERIFY(dialog->ReplaceAll()->isVisible() && dialog->ReplaceAll()->isChecked());
        QVERIFY(dialog->Down()->isChecked());
        dialog->FindEdit()->setText(QStringLiteral("x"));
        dialog->ReplaceEdit()->setText(QStringLiteral("imports"));
        dialog->WholeWord()->setChecked(true);
        QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
      });
      Activate(editor);
      QTest::keyClick(editor.Editor(), Qt::Key_R, Qt::ControlModifier);
      QVERIFY(watch.Acted());
      editor.Editor()->document()->setModified(false); // closes without asking
      QCOMPARE(
          editor.Editor()->toPlainText(),
          all ? QStringLiteral(
                    "shock imports = 1 ;\nshock x_y = 2 ;\nshock imports = 3 ;\nshock imports = 4 ;\n")
              : QStringLiteral("shock imports = 1 ;\nshock x_y = 2 ;\nshock x = 3 ;\nshock imports = 4 ;\n"));
    });
    QCOMPARE(answerer.texts, all ? QStringList{QStringLiteral("Replace this instance?")}
                                 : QStringList(3, QStringLiteral("Replace this instance?")));
  }
}

void ToolsWindowsTest::absentTextIsReportedOnceAndUpFromTheEndFindsTheLast() {
  test::TempDir dir;
  const std::string file = dir.Write("log.txt", "alpha\nbeta alpha\ngamma\n");
  test::MessageAnswerer answerer;
  WithEditor(file, true, [&](TOrfEditDlg& editor) {
    Search(editor, true, QStringLiteral("delta"), QStringLiteral("x"));
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("Could not find \"delta\".")});
    editor.Editor()->moveCursor(QTextCursor::End);
    Search(editor, false, QStringLiteral("alpha"), {}, true);
    QCOMPARE(editor.Editor()->textCursor().selectionStart(), 11);
    QCOMPARE(editor.Editor()->textCursor().blockNumber(), 1);
    Activate(editor);
    QTest::keyClick(editor.Editor(), Qt::Key_F3); // on upwards
    QCOMPARE(editor.Editor()->textCursor().selectionStart(), 0);
    QTest::keyClick(editor.Editor(), Qt::Key_F3);
    QCOMPARE(editor.Editor()->textCursor().selectionStart(), 0);
  });
  QCOMPARE(answerer.texts, (QStringList{QStringLiteral("Could not find \"delta\"."),
                                        QStringLiteral("Could not find \"alpha\".")}));
}

void ToolsWindowsTest::wholeWordsAreFoundAtTheStartAndEndOfLines() {
  test::TempDir dir;
  const std::string file = dir.Write("CMFSTART", "method = euler ;\nreport method\nmethods ;\n");
  test::MessageAnswerer answerer;
  answerer.answers = {QStringLiteral("All")};
  WithEditor(file, true, [&](TOrfEditDlg& editor) {
    test::ModalWatch watch(test::IsA<TSrchDlg1>(), [&](QWidget* window) {
      auto* dialog = static_cast<TSrchDlg1*>(window);
      dialog->FindEdit()->setText(QStringLiteral("method"));
      dialog->ReplaceEdit()->setText(QStringLiteral("solution_method"));
      dialog->WholeWord()->setChecked(true);
      QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    });
    editor.Action(QStringLiteral("Replace1"))->trigger();
    editor.Editor()->document()->setModified(false); // closes without asking
    QCOMPARE(editor.Editor()->toPlainText(),
             QStringLiteral("solution_method = euler ;\nreport solution_method\nmethods ;\n"));
  });
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Replace this instance?")});
}

void ToolsWindowsTest::closingWithNoKeepsTheFileAndSaveAsReturnsTheNewName() {
  test::TempDir dir;
  const std::string file = dir.Write("CMFSTART", "old line\n");
  {
    test::MessageAnswerer answerer;
    answerer.answers = {QStringLiteral("No")};
    const std::string returned = WithEditor(file, true, [](TOrfEditDlg& editor) {
      QTest::keyClicks(editor.Editor(), "new ");
      QTest::keyClick(&editor, Qt::Key_Escape); // closes as the close item does
      QVERIFY(!editor.isVisible());
    });
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("Save Changes?")});
    QCOMPARE(returned, file);
    QCOMPARE(test::ReadFileBytes(file), std::string("old line\n"));
    QVERIFY(!fs::exists(dir.File("CMFSTART.BAK")));
  }
  {
    // Yes saves over the file, keeping the old one as .BAK, with trailing blanks gone.
    test::MessageAnswerer answerer;
    QString title;
    test::ModalWatch save(test::IsA<QFileDialog>(), [&](QWidget* window) {
      title = window->windowTitle();
      test::ChooseInFileDialog(window, QString::fromStdString(file));
    });
    const std::string returned = WithEditor(file, true, [](TOrfEditDlg& editor) {
      editor.Editor()->insertPlainText(QStringLiteral("new \t\n\t "));
      editor.Action("Close1")->trigger();
    });
    QVERIFY(save.Acted());
    // The save dialog asks before overwriting, even the file itself.
    QCOMPARE(answerer.texts.size(), 2);
    QCOMPARE(answerer.texts[0], QStringLiteral("Save Changes?"));
    QVERIFY(answerer.texts[1].contains(QStringLiteral("CMFSTART")));
    QCOMPARE(returned, file);
    QCOMPARE(test::ReadFileBytes(file), std::string("new\n\t old line\n")); // trailing blanks and tabs gone
    QCOMPARE(test::ReadFileBytes(dir.File("CMFSTART.BAK")), std::string("old line\n"));
  }
  {
    // Save As another name: the caption follows and the name comes back to the caller.
    const std::string other = dir.File("CMFSTART.new");
    test::MessageAnswerer answerer;
    test::ModalWatch save(test::IsA<QFileDialog>(), [&](QWidget* window) {
      test::ChooseInFileDialog(window, QString::fromStdString(other));
    });
    const std::string returned = WithEditor(
        file, true,
        [&](TOrfEditDlg& editor) {
          editor.Editor()->document()->setPlainText(QStringLiteral("caf\u00e9\u00a0ok\n"));
          editor.Action("SaveAs1")->trigger();
          QCOMPARE(editor.windowTitle(), QString::fromStdString("CMFSTART file: " + other));
          QCOMPARE(editor.StateField()->text(), QString());
        },
        "CMFSTART file");
    QVERIFY(answerer.texts.isEmpty());
    QCOMPARE(returned, other);
    QCOMPARE(test::ReadFileBytes(other), std::string("caf\xc3\xa9\xc2\xa0ok\n")); // a no-break space stays
  }
}

void ToolsWindowsTest::aFileThatIsNotTextOpensReadOnlyWithANote() {
  test::TempDir dir;
  const std::string bytes("old \xe9t\xe9\0 data\n", 14);
  const std::string file = dir.Write("latin.txt", bytes);
  test::MessageAnswerer answerer;
  WithEditor(
      file, true,
      [](TOrfEditDlg& editor) {
        QVERIFY(editor.Editor()->isReadOnly());
        QVERIFY(editor.NoteLabel()->isVisible());
        QVERIFY(editor.NoteLabel()->text().contains(QStringLiteral("read-only")));
        QVERIFY(!editor.Action("SaveAs1")->isVisible());
        QVERIFY(!editor.Action("Replace1")->isVisible());
        QVERIFY(editor.Editor()->toPlainText().startsWith(QStringLiteral("old \u00e9t\u00e9")));
        editor.close();
      },
      "Editing " + file);
  QVERIFY(answerer.texts.isEmpty());
  QCOMPARE(test::ReadFileBytes(file), bytes);
}

void ToolsWindowsTest::aLargeFileArrivesWhileTheWindowWorks() {
  test::TempDir dir;
  std::string bytes;
  for (int line = 0; bytes.size() < 3'000'000; ++line) {
    bytes += " step " + std::to_string(line) + "\tx = 1.5e-3 caf\xc3\xa9\r\n";
  }
  const std::string file = dir.Write("big.log", bytes);
  std::string expected = bytes;
  expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
  test::MessageAnswerer answerer;
  for (const bool waitForAll : {false, true}) {
    WithEditor(
        file, true,
        [&](TOrfEditDlg& editor) {
          // Shown with the first part; nothing can change, search or save a text that is not whole.
          QVERIFY(editor.Loading());
          QVERIFY(editor.Editor()->isReadOnly());
          QVERIFY(!editor.Action("SaveAs1")->isEnabled() && !editor.Action("Find1")->isEnabled() &&
                  !editor.Action("Replace1")->isEnabled());
          editor.Edit1Click();
          QVERIFY(!editor.Action("Paste1")->isEnabled() && !editor.Action("Cut1")->isEnabled());
          if (!waitForAll) {
            editor.close(); // closed early: nothing asked, nothing written
            return;
          }
          QTRY_VERIFY_WITH_TIMEOUT(!editor.Loading(), 20000);
          QCOMPARE(editor.Editor()->toPlainText(), QString::fromStdString(expected));
          QVERIFY(!editor.Editor()->isReadOnly());
          QVERIFY(editor.Action("SaveAs1")->isEnabled() && editor.Action("Find1")->isEnabled());
          QVERIFY(!editor.Editor()->document()->isModified());
          QVERIFY(!editor.Editor()->document()->isUndoAvailable()); // the reading is no edit
          QCOMPARE(editor.StateField()->text(), QString());
          QCOMPARE(editor.HintField()->text(), QString());
        },
        "Log file");
  }
  QVERIFY(answerer.texts.isEmpty());
  QCOMPARE(test::ReadFileBytes(file), bytes);
}

void ToolsWindowsTest::theViewMenuAndCmfstartOpenTheEditor() {
  const std::string prog = MakeProgramFolder();
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  QStringList captions;
  QList<bool> readOnly;
  test::ModalWatch first(test::IsA<TOrfEditDlg>(), [&](QWidget* window) {
    auto* editor = static_cast<TOrfEditDlg*>(window);
    captions << editor->windowTitle();
    readOnly << editor->Editor()->isReadOnly();
    QCOMPARE(editor->geometry(), Form().geometry()); // over the main window, at its place and size
    editor->close();
  });
  QMenu* view = Form().Menu("View1");
  view->popup(Form().mapToGlobal(QPoint(0, 0))); // opening it sets the entries' state
  QTRY_VERIFY(view->isVisible());
  view->close();
  QVERIFY(Form().Action("MainMERKAFile1")->isEnabled());
  Form().Action("MainMERKAFile1")->trigger();
  QVERIFY(first.Acted());

  // CMFSTART: asked for, made, and opened for editing.
  test::MessageAnswerer answerer;
  test::ModalWatch second(test::IsA<TOrfEditDlg>(), [&](QWidget* window) {
    auto* editor = static_cast<TOrfEditDlg*>(window);
    captions << editor->windowTitle();
    readOnly << editor->Editor()->isReadOnly();
    QTest::keyClicks(editor->Editor(), "! preamble");
    editor->close();
  });
  answerer.answers = {QStringLiteral("Yes"), QStringLiteral("No")}; // create it; do not save the change
  Form().Action("CMFSTARTFile1")->trigger();
  QVERIFY(second.Acted());
  const QString output = QString::fromStdString(Core().Model.Model.OutputDir);
  QCOMPARE(captions,
           (QStringList{QString::fromStdString("Main MERKA file: " + Core().Model.Model.MainMrkFile),
                        "CMFSTART file: " + output + "/CMFSTART"}));
  QCOMPARE(readOnly, (QList<bool>{true, false}));
  QCOMPARE(answerer.texts.size(), 2);
  QCOMPARE(answerer.texts.last(), QStringLiteral("Save Changes?"));
}

namespace {

// The report's section headings, in order, each found after the one before; false names the first missing.
QString MissingSection(const QString& text, const QStringList& headings) {
  qsizetype from = 0;
  for (qsizetype i = 0; i < headings.size(); ++i) {
    const QString heading = QStringLiteral("\nSECTION %1: ").arg(i + 1) + headings[i] + QLatin1Char('\n');
    const qsizetype at = text.indexOf(heading, from);
    if (at < 0) {
      return heading;
    }
    from = at + heading.size();
  }
  return QString();
}

QStringList Headings(const QString& programDir, const QString& reportFile) {
  return {"Program and compiler",
          "Operating system, hardware, session",
          "Appearance",
          "File Associations",
          "Path",
          "Special Folders:",
          "Registry Settings",
          "Complete Contents of Environment",
          "INI file",
          "Running Processes",
          "Files in application folder  " + programDir,
          "Contents of RPT file from MERKA: " + reportFile};
}

} // namespace

void ToolsWindowsTest::theAboutBoxShowsItsLinesAndItsIconEntersDeveloperMode() {
  QCOMPARE(TvxAboutBox::SoundOf(QDate(2026, 12, 6)), QStringLiteral("BEE")); // a Sunday
  QCOMPARE(TvxAboutBox::SoundOf(QDate(2026, 12, 7)), QStringLiteral("POP"));
  QCOMPARE(TvxAboutBox::SoundOf(QDate(2026, 12, 12)), QStringLiteral("BEE")); // a Saturday

  const std::string prog = MakeProgramFolder();
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  QVERIFY(!Form().Menu("Developer1")->menuAction()->isVisible());
  const QString progDir = QString::fromStdString(prog);
  test::MessageAnswerer answerer;
  QSet<int> positions;
  QPoint home;
  QPoint after;
  qint64 shook = 0;
  test::ModalWatch watch(test::IsA<TvxAboutBox>(), [&](QWidget* window) {
    auto* about = static_cast<TvxAboutBox*>(window);
    QCOMPARE(about->windowTitle(), QStringLiteral(" About pelorin"));
    QCOMPARE(about->TitleLabel()->text(), QStringLiteral("pelorin"));
    QVERIFY(QFontInfo(about->TitleLabel()->font()).pixelSize() >=
            3 * QFontInfo(about->VersionLabel()->font()).pixelSize() / 2);
    QCOMPARE(about->VersionLabel()->text(), QStringLiteral("Version 2.40,  10/Apr/2015"));
    QCOMPARE(about->FileLabel()->text(), "File: " + progDir + "/pelorin");
    QCOMPARE(about->SuitePanel()->text(), "KALVIMO folder: " + progDir +
                                              "\nExecutable-Image Version of KALVIMO\nKALVIMO Release: "
                                              "Pelorin suite 1.0");
    QCOMPARE(about->OkButton()->text(), QStringLiteral("&OK"));
    QVERIFY(about->HelpButton()->isVisibleTo(about));
    QCOMPARE(about->DiagnosticsButton()->text(), QStringLiteral("&Diagnostics"));
    QVERIFY(!about->Icon()->pixmap().isNull());
    QVERIFY(!fs::exists(prog + "/work/mrkrpt.sti") && !fs::exists(prog + "/work/merka.rpt"));

    home = about->Icon()->pos();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(about->Icon(), Qt::LeftButton);
    QVERIFY(about->Shaking());
    QCOMPARE(about->LastSound(), TvxAboutBox::SoundOf(QDate::currentDate()));
    QTest::mouseClick(about->Icon(), Qt::LeftButton); // ignored while it shakes
    while (about->Shaking() && clock.elapsed() < 5000) {
      positions << about->Icon()->pos().x() - home.x();
      QTest::qWait(5); // the window goes on working meanwhile
    }
    shook = clock.elapsed();
    after = about->Icon()->pos();
    about->OkButton()->click();
  });
  Form().Action("AboutDiagnostics1")->trigger();
  QVERIFY(watch.Acted());
  QVERIFY2(shook >= 850, qPrintable(QString::number(shook))); // 30 pauses of 30 ms
  QVERIFY(positions.contains(2) && positions.contains(-2));
  QCOMPARE(after, home);
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Going into developer mode.")}); // once, not twice
  QVERIFY(Form().Menu("Developer1")->menuAction()->isVisible());
}

void ToolsWindowsTest::theDiagnosticsWindowAddsTheCompilersReportAndCopiesAndSaves() {
  const std::string prog = MakeProgramFolder();
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  const QString progDir = QString::fromStdString(prog);
  const std::string saved = dir_->File("Diag.txt");
  QString report;
  QString saveTitle;
  QString proposed;
  bool opened = false;
  test::ModalWatch about(test::IsA<TvxAboutBox>(), [&](QWidget* aboutWindow) {
    test::ModalWatch diagnostics(test::IsA<TvxDiagForm>(), [&](QWidget* window) {
      opened = true;
      auto* form = static_cast<TvxDiagForm*>(window);
      QCOMPARE(form->windowTitle(), QStringLiteral(" Diagnostics"));
      QCOMPARE(
          form->Note()->text(),
          QStringLiteral("If you would like to report a problem, please copy the contents of the memo below "
                         "into your email describing the problem, or save the contents as a file and "
                         "attach it."));
      QTRY_VERIFY_WITH_TIMEOUT(!form->Watching(), 10000);
      report = form->Memo()->toPlainText();
      QCOMPARE(form->Memo()->textCursor().position(), 0);
      QVERIFY(!fs::exists(prog + "/work/mrkrpt.sti") && !fs::exists(prog + "/work/merka.rpt"));

      QApplication::clipboard()->clear();
      QTest::mouseClick(form->CopyButton(), Qt::LeftButton);
      QCOMPARE(QApplication::clipboard()->text(), report + QLatin1Char('\n'));

      test::ModalWatch save(test::IsA<QFileDialog>(), [&](QWidget* dialog) {
        saveTitle = dialog->windowTitle();
        proposed = static_cast<QFileDialog*>(dialog)->selectedFiles().value(0);
        test::ChooseInFileDialog(dialog, QString::fromStdString(saved));
      });
      QTest::mouseClick(form->SaveButton(), Qt::LeftButton);
      QVERIFY(save.Acted());
      QTest::mouseClick(form->OkButton(), Qt::LeftButton);
    });
    QTest::mouseClick(static_cast<TvxAboutBox*>(aboutWindow)->DiagnosticsButton(), Qt::LeftButton);
    QVERIFY(diagnostics.Acted());
    aboutWindow->close();
  });
  Form().Action("AboutDiagnostics1")->trigger();
  QVERIFY(about.Acted());
  QVERIFY(opened);
  const QString missing = MissingSection(report, Headings(progDir, progDir + "/work/merka.rpt"));
  QVERIFY2(missing.isEmpty(), qPrintable(missing));
  QVERIFY(report.contains("Program Ini Name:      \t" + progDir + "/Minimal/Minimal.ini"));
  QVERIFY(report.contains(QStringLiteral("\nScreen size: ")));
  QVERIFY(report.contains(QStringLiteral("\nMonitor 1 is the primary monitor.")));
  QVERIFY(report.contains("KALVIMO folder: " + progDir + "\nExecutable-Image Version of KALVIMO"));
  QVERIFY(report.endsWith(
      QStringLiteral("\n[result]\nrelease=Pelorin suite 1.0\nProgram version=e\nGPVer Large=12\n"
                     "Status=ok")));
  QCOMPARE(saveTitle, QStringLiteral(" Save Diagnostic File"));
  QVERIFY2(proposed.endsWith(QStringLiteral("/Diag.txt")), qPrintable(proposed));
  QCOMPARE(QString::fromStdString(test::ReadFileBytes(saved)), report + QLatin1Char('\n'));
}

void ToolsWindowsTest::diagnosticsFromTheCommandLineNeedNoWindow() {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "KVDIR"}) {
    environment.remove(QString::fromLatin1(name));
  }
  process.setProcessEnvironment(environment);
  process.start(QString::fromStdString(masterDir_ + "/pelorin"), {QStringLiteral("--diagnostics")});
  QVERIFY(process.waitForFinished(30000));
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QCOMPARE(process.exitCode(), 0);
  QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
  const QString out = QString::fromUtf8(process.readAllStandardOutput());
  const QString dist = QString::fromStdString(masterDir_);
  static const QRegularExpression dateLine(
      QStringLiteral("^[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{1,2}, [0-9]{4}, [0-9]{1,2}:[0-9]{2} (AM|PM)\n"));
  QVERIFY2(dateLine.match(out).hasMatch(), qPrintable(out.left(80)));
  const qsizetype last = out.indexOf(QStringLiteral("SECTION 12: Contents of RPT file from MERKA: "));
  QVERIFY(last > 0);
  const QString reportFile = out.mid(last).section(QLatin1Char('\n'), 0, 0).section(QStringLiteral(": "), 2);
  QVERIFY2(reportFile.endsWith(QStringLiteral("/merka.rpt")), qPrintable(reportFile));
  QVERIFY(!QFileInfo::exists(reportFile));
  QVERIFY(!QFileInfo(reportFile).dir().exists()); // its scratch folder is gone
  const QString missing = MissingSection(out, Headings(dist, reportFile));
  QVERIFY2(missing.isEmpty(), qPrintable(missing));
  QVERIFY(out.contains("\nProgram: pelorin\nVersion 2.40,  10/Apr/2015\nFile: " + dist + "/pelorin"));
  QVERIFY(out.contains(QStringLiteral("\nScreen: none (the report was made without a window)\n")));
  QVERIFY(out.contains("\nKALVIMO folder: " + dist + "\nExecutable-Image Version of KALVIMO\n"));
  QVERIFY(out.endsWith(
      QStringLiteral("\nrelease=Pelorin suite 1.0\nProgram version=e\nGPVer Large=12\nStatus=ok\n")));
}

} // namespace pelorin

QTEST_MAIN(pelorin::ToolsWindowsTest)
#include "tools_windows_test.moc"
