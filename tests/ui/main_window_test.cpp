// The window program driven through its real widgets, offscreen: start-up with the chooser, the main window's
// pages and menus, developer mode, the page and copy rules, Add Model, help, and the single-instance guard
// between real processes.

#include "app/application.h"
#include "shell/captions.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"
#include "ui/cust_chus_form.h"
#include "ui/help_window.h"
#include "ui/main_form.h"
#include "ui/model_data_page_widget.h"
#include "ui/output_files_page_widget.h"
#include "ui/picture_page_widget.h"
#include "ui/qt_text.h"
#include "ui/qt_user_interface.h"
#include "ui/text_page_widget.h"
#include "ui/title_page_widget.h"
#include "ui/window_program.h"
#include "ui_driver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace pelorin {

namespace fs = std::filesystem;

class MainWindowTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase();
  void cleanup();

  void theChooserOffersEveryModelWithMinimalPreselected();
  void aSingleModelStartsWithoutTheChooser();
  void developerModeShowsAndHidesItsItems();
  void resultsBeforeASolveAreRefusedWithAWarning();
  void copySaysWhenAPageCannotBeCopied();
  void menusFollowTheCoresState();
  void addModelInstallsAnArchiveIntoAFreshFolder();
  void helpShowsThePagesTopicAndClosesAtCloseDown();
  void missingPictureTextAndCaptionsLeaveTheirPagesEmpty();
  void theTextPageShowsTheDescriptionOrWhyItCannot();
  void theWindowKeepsItsSmallestSizeAndLaysOutThePages();
  void saveDialogsAskBeforeOverwritingOnlyWhenTold();
  void textsOfTheCoreReachTheWindowIntact();
  void aSecondStartRestoresTheFirstAndAnotherNameRunsAlone();

private:
  // A program folder holding the installed programs and the named models (copies, so each test may change
  // them).
  std::string MakeProgramFolder(const std::vector<std::string>& models);
  // Starts the window program on the folder; `choose` answers the chooser (-1: no chooser expected).
  Application::StartOutcome Start(const std::string& programDir, int choose = -1);
  // The first tick of the timer, its messages answered; returns their texts.
  QStringList FirstTick();
  TMainForm& Form() { return *program_->MainForm(); }
  Application& Core() { return program_->Core(); }
  void ClickTab(int page);

  std::unique_ptr<test::TempDir> master_;
  std::string masterDir_;
  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<test::SavedEnvironment> environment_;
  std::unique_ptr<WindowProgram> program_;
  std::vector<int> exits_;
};

void MainWindowTest::initTestCase() {
  master_ = std::make_unique<test::TempDir>();
  masterDir_ = master_->File("dist");
  std::string log;
  QVERIFY2(test::InstallProgramFolder(masterDir_, log), log.c_str());
}

void MainWindowTest::cleanup() {
  if (program_ != nullptr && program_->MainForm() != nullptr) {
    program_->MainForm()->close();
  }
  program_.reset();
  dir_.reset();
  environment_.reset();
  exits_.clear();
}

std::string MainWindowTest::MakeProgramFolder(const std::vector<std::string>& models) {
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
      fs::create_symlink(entry.path(), target); // the programs: only their presence counts here
    } else {
      fs::copy_file(entry.path(), target);
    }
  }
  return prog.string();
}

Application::StartOutcome MainWindowTest::Start(const std::string& programDir, int choose) {
  program_ =
      std::make_unique<WindowProgram>(programDir + "/pelorin", [this](int code) { exits_.push_back(code); });
  std::unique_ptr<test::ModalWatch> chooser;
  if (choose >= 0) {
    chooser = std::make_unique<test::ModalWatch>(test::IsA<TCustChusForm>(), [choose](QWidget* window) {
      auto* form = static_cast<TCustChusForm*>(window);
      form->SetChosenIndex(choose);
      QTest::mouseClick(form->OkButton(), Qt::LeftButton);
    });
  }
  const Application::StartOutcome outcome = program_->Start();
  if (chooser != nullptr && !chooser->Acted()) {
    qWarning("the chooser was not shown");
  }
  return outcome;
}

QStringList MainWindowTest::FirstTick() {
  test::MessageAnswerer answerer;
  Form().DosJobTimerTimer();
  return answerer.texts;
}

void MainWindowTest::ClickTab(int page) {
  QTabBar* bar = Form().Pages()->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

void MainWindowTest::theChooserOffersEveryModelWithMinimalPreselected() {
  const std::string prog = MakeProgramFolder({"Minimal", "Trade"});
  // A model whose name sorts first, so Minimal's pre-selection is not just the first item.
  fs::create_directories(prog + "/Alpha");
  std::ofstream(prog + "/Alpha/Alpha.ini") << "[Options]\nModelDesc=First by name\n";
  std::ofstream(prog + "/Alpha/Alpha.exe") << "";

  QStringList items;
  int preselected = -2;
  bool noteBesideOk = false;
  QString groupTitle;
  test::ModalWatch watch(test::IsA<TCustChusForm>(), [&](QWidget* window) {
    auto* form = static_cast<TCustChusForm*>(window);
    QCOMPARE(form->windowTitle(), QStringLiteral("Select Model"));
    groupTitle = form->Group()->title();
    for (QRadioButton* button : form->Group()->findChildren<QRadioButton*>()) {
      items << button->text();
    }
    preselected = form->ChosenIndex();
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    for (QLabel* label : labels) {
      if (label->text() == QStringLiteral("To switch model, close Orvane and start it again.")) {
        noteBesideOk = label->geometry().left() > form->OkButton()->geometry().right() &&
                       label->geometry().top() >= form->OkButton()->geometry().top();
      }
    }
    QVERIFY(form->OkButton()->geometry().top() > form->Group()->geometry().bottom());
    QTest::mouseClick(form->OkButton(), Qt::LeftButton);
  });
  program_ = std::make_unique<WindowProgram>(prog + "/pelorin", [this](int code) { exits_.push_back(code); });
  QCOMPARE(program_->Start(), Application::StartOutcome::Ready);
  QVERIFY(watch.Acted());
  QCOMPARE(items, (QStringList{
                      QStringLiteral("Alpha - First by name"),
                      QStringLiteral("Minimal - A minimal economy: one household, three goods, two factors"),
                      QStringLiteral("Trade - Trade among three regions, with tariffs")}));
  QCOMPARE(preselected, 1);
  QCOMPARE(groupTitle, QStringLiteral(" Choose a model "));
  QVERIFY(noteBesideOk);

  TMainForm& form = Form();
  QVERIFY(form.isVisible());
  QCOMPARE(form.windowTitle(), QStringLiteral("pelorin - Minimal"));
  QStringList tabs;
  for (int i = 0; i < form.Pages()->count(); ++i) {
    tabs << form.Pages()->tabText(i);
  }
  QCOMPARE(tabs, (QStringList{"Picture", "Text", "Title", "Model/Data", "Closure", "Shocks", "Output files",
                              "Solve", "Results"}));
  QStringList menus;
  for (QAction* action : form.menuBar()->actions()) {
    if (action->isVisible()) {
      menus << action->text();
    }
  }
  QCOMPARE(menus, (QStringList{"&File", "&Copy", "&View", "&Options", "&Help"}));
  QCOMPARE(form.Pages()->currentIndex(), 0);
  QVERIFY(!form.PicturePage()->Picture().isNull());
  QCOMPARE(form.PicturePage()->Caption(0)->text(), QStringLiteral("Minimal"));
  QVERIFY(form.Timer().isActive());
  // The program folder holds the Header Array viewer, so the first tick has nothing to warn about.
  QCOMPARE(FirstTick(), QStringList());
  QVERIFY(!form.Timer().isActive());
  QVERIFY(exits_.empty());
}

void MainWindowTest::aSingleModelStartsWithoutTheChooser() {
  const std::string prog = MakeProgramFolder({"Trade"});
  QString seen;
  test::ModalWatch watch([](QWidget*) { return true; },
                         [&seen](QWidget* window) {
                           seen = QString::fromLatin1(window->metaObject()->className());
                           window->close();
                         });
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  QCOMPARE(seen, QString());
  QCOMPARE(Form().windowTitle(), QStringLiteral("pelorin - Trade"));
  QCOMPARE(Core().App.ModelName, std::string("Trade"));
}

void MainWindowTest::developerModeShowsAndHidesItsItems() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  TMainForm& form = Form();
  const auto developerItems = [this] {
    TMainForm& window = Form(); // a new one after a restart
    return std::vector<bool>{window.Menu("Developer1")->menuAction()->isVisible(),
                             window.Action("EditCMFSTARTFile1")->isVisible(),
                             window.Menu("ChangeTextEditor1")->menuAction()->isVisible(),
                             window.Action("ReloadModel1")->isVisible(),
                             !window.ModelDataPage()->ChangeModelButton()->isHidden(),
                             !window.ModelDataPage()->SaveButton()->isHidden(),
                             !window.ModelDataPage()->LoadButton()->isHidden(),
                             !window.TitlePage()->Heading()->isHidden()};
  };
  QCOMPARE(developerItems(), std::vector<bool>(8, false));
  QVERIFY(!form.Action("UsePif1")->isVisible());

  test::MessageAnswerer answerer;
  Core().GoDevMode(); // what the About/Diagnostics dialog calls
  form.Refresh();
  QCOMPARE(answerer.texts, QStringList{QStringLiteral("Going into developer mode.")});
  QCOMPARE(developerItems(), std::vector<bool>(8, true));
  QVERIFY(form.TitlePage()->Heading()->text().startsWith(QStringLiteral("Developer mode: ")));

  // The right-click menu of an input line offers the file choice only in developer mode.
  ClickTab(kModelDataPageIndex);
  QListWidget* list = form.ModelDataPage()->InputList();
  QVERIFY(list->count() > 0);
  form.ModelDataPage()->OrigDataFilesCMFListBoxMouseDown(0, list->mapToGlobal(QPoint(5, 5)));
  QMenu* popup = form.ModelDataPage()->Popup();
  QVERIFY(popup->isVisible());
  QStringList popupItems;
  for (QAction* action : popup->actions()) {
    if (action->isVisible()) {
      popupItems << action->text() + (action->isEnabled() ? "" : " (disabled)");
    }
  }
  popup->close();
  QCOMPARE(popupItems, (QStringList{"&Select or change the file name", "&View this file",
                                    "&Tell me more about this file"}));

  // Developer mode read from the settings shows the menu from the start; it is never written back.
  form.close();
  std::string settings = test::ReadFileBytes(prog + "/Minimal/Minimal.ini");
  QVERIFY(settings.find("DeveloperMode") == std::string::npos);
  settings.replace(settings.find("[Options]"), 9, "[Options]\nDeveloperMode=1");
  std::ofstream(prog + "/Minimal/Minimal.ini") << settings;
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  QCOMPARE(developerItems(), (std::vector<bool>{true, false, false, false, false, false, false, false}));
}

void MainWindowTest::resultsBeforeASolveAreRefusedWithAWarning() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  ClickTab(kOutputFilesPage);
  QCOMPARE(Form().Pages()->currentIndex(), int(kOutputFilesPage));
  test::MessageAnswerer answerer;
  int pageWhileWarned = -1;
  answerer.beforeAnswer = [&](QWidget*) { pageWhileWarned = Form().Pages()->currentIndex(); };
  ClickTab(kResultsPage);
  QTRY_COMPARE(answerer.texts, QStringList{QStringLiteral("You must solve before viewing results")});
  QCOMPARE(pageWhileWarned, int(kOutputFilesPage));
  QCOMPARE(Form().Pages()->currentIndex(), int(kOutputFilesPage));
  QCOMPARE(Core().Window.currentPage, int(kOutputFilesPage));
}

void MainWindowTest::copySaysWhenAPageCannotBeCopied() {
  // Without a model the first tick shows the Model/Data page itself and asks for one (cancelled here);
  // "&Copy" is then still enabled there, and says why it copies nothing.
  const std::string prog = MakeProgramFolder({"Minimal"});
  std::string settings = test::ReadFileBytes(prog + "/Minimal/Minimal.ini");
  settings.erase(settings.find("Model=Minimal.exe"), std::string("Model=Minimal.exe").size());
  std::ofstream(prog + "/Minimal/Minimal.ini") << settings;
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  QString dialogTitle;
  {
    test::ModalWatch cancel(test::IsA<QFileDialog>(), [&dialogTitle](QWidget* dialog) {
      dialogTitle = dialog->windowTitle();
      QMetaObject::invokeMethod(dialog, "reject");
    });
    const QStringList texts = FirstTick();
    QVERIFY(texts.contains(
        QStringLiteral("Please select a model to work with.\n(Later you can change it using the "
                       "Change Model\n button on the Model/Data page.)")));
  }
  QCOMPARE(dialogTitle, QStringLiteral("Select Model"));
  QCOMPARE(Form().Pages()->currentIndex(), int(kModelDataPageIndex));
  QAction* copy = Form().Action("Copy1");
  QVERIFY(copy->isEnabled());
  {
    test::MessageAnswerer answerer;
    copy->trigger(); // a click on "&Copy" acts although it has no items
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("Cannot copy this page")});
  }
  // Chosen by its tab, a page that cannot be copied disables "&Copy".
  ClickTab(kTitlePage);
  ClickTab(kModelDataPageIndex);
  QVERIFY(!copy->isEnabled());
  ClickTab(kShocksPageIndex);
  QVERIFY(copy->isEnabled());
  QApplication::clipboard()->clear();
  Core().Simulation.Shocks.Lines = {"shock qfac(\"labour\") = 10 ;"};
  copy->trigger();
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("shock qfac(\"labour\") = 10 ;\n"));
  QVERIFY(!QApplication::clipboard()->text().contains(QChar(0)));
  QLabel* note = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QStringLiteral("PassingNote") && window->isVisible()) {
      note = qobject_cast<QLabel*>(window);
    }
  }
  QVERIFY(note != nullptr);
  QCOMPARE(note->text(), QStringLiteral("Data copied to Clipboard"));
  QVERIFY(!note->isActiveWindow());
  const QPointer<QLabel> gone(note);
  QTRY_VERIFY_WITH_TIMEOUT(gone.isNull(), 3000);
}

void MainWindowTest::menusFollowTheCoresState() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  TMainForm& form = Form();
  // Automatic access keys for the items the menus give none.
  QCOMPARE(form.Action("AddModel1")->text(), QStringLiteral("&Add Model"));
  QCOMPARE(form.Action("CurrentPage1")->shortcut(), QKeySequence(Qt::Key_F1));

  QMenu* view = form.Menu("View1");
  view->popup(form.mapToGlobal(QPoint(0, 0)));
  QTRY_VERIFY(view->isVisible());
  QVERIFY(!form.Action("LogFile1")->isEnabled()); // nothing solved yet
  QVERIFY(form.Action("MainMERKAFile1")->isEnabled());
  QMenu* inputs = form.Menu("InputDataFiles1");
  QStringList originals;
  for (QAction* action : inputs->actions()) {
    originals << action->text();
  }
  view->close();
  QCOMPARE(originals, QStringList{QStringLiteral("&Original BASEDATA")});
  QVERIFY(inputs->isEnabled());

  QVERIFY(form.Action("ShowLevelsResults1")->isChecked());
  form.Action("IgnoreLevelsResults1")->trigger();
  QVERIFY(Core().Settings.ignoreLevelsResults);
  QVERIFY(!form.Action("ShowLevelsResults1")->isChecked());
  QVERIFY(form.Action("IgnoreLevelsResults1")->isChecked());
  QVERIFY(!form.Action("StartupMusic1")->isVisible()); // Minimal has no start-up sound
  QVERIFY(form.Action("HelpOnThisModel1")->isEnabled());

  // The output line's rename dialog: a click on the solution line.
  ClickTab(kOutputFilesPage);
  QListWidget* outputs = form.OutputFilesPage()->OutputList();
  QCOMPARE(outputs->item(0)->text(), QStringLiteral("Solution file = sim1 ;"));
  QString title;
  QStringList filters;
  test::ModalWatch watch(test::IsA<QFileDialog>(), [&](QWidget* window) {
    auto* dialog = static_cast<QFileDialog*>(window);
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    test::ChooseInFileDialog(dialog, QDir(dialog->directory()).filePath(QStringLiteral("base2.sl4")));
  });
  QTest::mouseClick(outputs->viewport(), Qt::LeftButton, {},
                    outputs->visualItemRect(outputs->item(0)).center());
  QVERIFY(watch.Acted());
  QCOMPARE(title, QStringLiteral("Output File "));
  QCOMPARE(filters, QStringList{QStringLiteral("Solution Files (*.sl4 *.SL4)")});
  QCOMPARE(outputs->item(0)->text(), QStringLiteral("Solution file = base2 ;"));
  QCOMPARE(form.OutputFilesPage()->PostSimNameEdit()->text(), QStringLiteral("base2ps"));
}

void MainWindowTest::addModelInstallsAnArchiveIntoAFreshFolder() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  QVERIFY(fs::exists(prog + "/Trade.zip"));
  QVERIFY(!fs::exists(prog + "/Trade"));
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  test::MessageAnswerer answerer;
  QString title;
  QStringList filters;
  QString folder;
  test::ModalWatch watch(test::IsA<QFileDialog>(), [&](QWidget* window) {
    auto* dialog = static_cast<QFileDialog*>(window);
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    folder = dialog->directory().absolutePath();
    test::ChooseInFileDialog(dialog, QString::fromStdString(prog + "/Trade.zip"));
  });
  Form().Action("AddModel1")->trigger();
  QVERIFY(watch.Acted());
  QCOMPARE(title, QStringLiteral("Load Model ZIP"));
  QCOMPARE(filters, QStringList{QStringLiteral("Zip Files (*.ZIP *.zip)")});
  QCOMPARE(folder, QString::fromStdString(prog));
  // The filter shows the archive although its extension is written in lower case.
  QCOMPARE(QDir(folder).entryList(QStringList{"*.ZIP", "*.zip"}, QDir::Files),
           (QStringList{"Minimal.zip", "Trade.zip"}));
  QCOMPARE(answerer.texts.first(),
           QStringLiteral("Click Help if you are unsure what the Add Models command does."));
  QVERIFY(answerer.texts.contains(
      QStringLiteral("Installed model:   Trade\nYou need to quit and restart Customized "
                     "Orvane\nif you want to change to that model.")));
  QVERIFY(fs::is_regular_file(prog + "/Trade/Trade.exe"));
  QVERIFY(fs::is_regular_file(prog + "/Trade/Trade.ini"));
  QCOMPARE(Form().windowTitle(), QStringLiteral("pelorin - Minimal")); // the running model stays
}

void MainWindowTest::helpShowsThePagesTopicAndClosesAtCloseDown() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  ClickTab(kOutputFilesPage);
  Form().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&Form()));
  QTest::keyClick(&Form(), Qt::Key_F1);
  const std::string helpFile = Core().App.HelpFile;
  QPointer<HelpWindow> help = program_->Ui().OpenHelpWindow(helpFile);
  QVERIFY(help != nullptr);
  QVERIFY(help->isVisible());
  QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("outputs"));
  QTRY_VERIFY(help->Browser()->verticalScrollBar()->value() > 0);
  QVERIFY(help->FindNext(QStringLiteral("post-simulation")));
  QVERIFY(!help->FindNext(QStringLiteral("no such words anywhere")));

  // A message's Help button opens the topic of its page and leaves the message up.
  {
    test::MessageAnswerer answerer;
    answerer.answers = {QStringLiteral("Help"), QStringLiteral("OK")};
    const MessageAnswer answer =
        program_->Ui().Message(MessageKind::Error, "Closure\r\nis wrong", MessageButtons::OkHelp, 400);
    QCOMPARE(answer, MessageAnswer::Ok);
    QCOMPARE(answerer.texts, (QStringList{"Closure\nis wrong", "Closure\nis wrong"}));
  }
  QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("closure"));

  Form().Action("HelpOnThisModel1")->trigger();
  QPointer<HelpWindow> modelHelp = program_->Ui().OpenHelpWindow(prog + "/Minimal/Minimal.html");
  QVERIFY(modelHelp != nullptr && modelHelp->isVisible());

  Form().close();
  QTRY_VERIFY(help.isNull() && modelHelp.isNull());
}

void MainWindowTest::missingPictureTextAndCaptionsLeaveTheirPagesEmpty() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  for (const char* extension : {"bmp", "rtf", "tit"}) {
    fs::remove(prog + "/Minimal/Minimal." + extension);
  }
  test::MessageAnswerer answerer;
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  const QString base = QString::fromStdString(prog + "/Minimal/Minimal");
  QCOMPARE(answerer.texts,
           (QStringList{"The following model-specific files are missing:\n    " + base + ".BMP\n    " + base +
                            ".RTF\n    " + base +
                            ".TIT\nThis may cause problems.\nYou might have to install "
                            "that model again.",
                        "Error: missing file " + base + ".bmp", "Error: missing file " + base + ".rtf",
                        "Error: missing file " + base + ".tit"}));
  QVERIFY(Form().PicturePage()->Picture().isNull());
  for (int i = 0; i < 4; ++i) {
    QVERIFY(Form().PicturePage()->Caption(i)->isHidden());
  }
  QVERIFY(Form().TextPage()->Browser()->toPlainText().isEmpty());
}

void MainWindowTest::theTextPageShowsTheDescriptionOrWhyItCannot() {
  const std::string prog = MakeProgramFolder({"Minimal", "Trade"});
  QCOMPARE(Start(prog, 0), Application::StartOutcome::Ready);
  FirstTick();
  ClickTab(kTextPage);
  QTextBrowser* text = Form().TextPage()->Browser();
  QVERIFY(text->isReadOnly());
  QVERIFY(text->toPlainText().startsWith(QStringLiteral("Minimal: a minimal economy")));
  QVERIFY(text->toHtml().contains(QStringLiteral("font-weight")));
  Form().close();

  // Unbalanced groups: the page says what is wrong instead of showing part of it.
  std::ofstream(prog + "/Trade/Trade.rtf") << "{\\rtf1\\ansi {\\b bold";
  QCOMPARE(Start(prog, 1), Application::StartOutcome::Ready);
  FirstTick();
  const QString shown = Form().TextPage()->Browser()->toPlainText();
  QVERIFY2(shown.startsWith(QStringLiteral("The model's description ") + QString::fromStdString(prog) +
                            QStringLiteral("/Trade/Trade.rtf cannot be shown:\n")),
           qPrintable(shown));
  QVERIFY(shown.contains(QStringLiteral("[RtfToHtml]")));
}

void MainWindowTest::theWindowKeepsItsSmallestSizeAndLaysOutThePages() {
  const std::string prog = MakeProgramFolder({"Minimal"});
  QCOMPARE(Start(prog), Application::StartOutcome::Ready);
  FirstTick();
  const int unit = Core().App.FontUnit;
  QVERIFY(unit > 0);
  QCOMPARE(Form().size(), QSize(60 * unit, 40 * unit));
  Form().resize(10, 10);
  QCOMPARE(Form().size(), QSize(50 * unit, 30 * unit));
  Form().resize(70 * unit, 45 * unit);
  QCOMPARE(Core().Window.width, 70 * unit);
  ClickTab(kOutputFilesPage);
  QCOMPARE(Form().OutputFilesPage()->OutputDirLabel()->width(), Form().Pages()->width() * 7 / 8);
  QCOMPARE(Form().OutputFilesPage()->OutputDirLabel()->text(),
           QString::fromStdString(prog + "/Minimal/OutPut").toUpper());
  QCOMPARE(Form().PicturePage()->font().pixelSize(), 5 * unit / 4);
}

void MainWindowTest::saveDialogsAskBeforeOverwritingOnlyWhenTold() {
  test::TempDir dir;
  const std::string existing = dir.Write("list.mdf", "File BASEDATA = base.har ;\n");
  QtUserInterface ui;
  FileDialogRequest request;
  request.title = "Save Data File Names";
  request.filter = "Model data files|*.MDF";
  request.initialDir = dir.Path().string();
  for (const bool confirm : {true, false}) {
    request.confirmOverwrite = confirm;
    test::MessageAnswerer answerer; // answers the question with Yes
    test::ModalWatch watch(test::IsA<QFileDialog>(), [&existing](QWidget* dialog) {
      test::ChooseInFileDialog(dialog, QString::fromStdString(existing));
    });
    QCOMPARE(ui.SaveFileDialog(request), std::optional<std::string>(existing));
    QCOMPARE(answerer.texts.size(), confirm ? 1 : 0);
  }
}

void MainWindowTest::textsOfTheCoreReachTheWindowIntact() {
  QCOMPARE(ToQString("caf\xc3\xa9"), QStringLiteral("caf\u00e9")); // UTF-8
  QCOMPARE(ToQString("caf\xe9"), QStringLiteral("caf\u00e9"));     // an older file's Latin-1
  QCOMPARE(ToQString("\xc3"), QStringLiteral("\u00c3"));           // cut short: not UTF-8
  QCOMPARE(MessageToQString("one\r\ntwo\rthree"), QStringLiteral("one\ntwo\nthree"));
  QCOMPARE(ToQColor(ParseCaptionColour("clNavy")), QColor(0, 0, 0x80));
  QCOMPARE(ToQColor(ParseCaptionColour("clNoSuchColour")), QColor(Qt::black));
  QtUserInterface ui;
  QVERIFY(ui.SetClipboardText(std::string_view("a\tb\r\n\0\0", 7)));
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a\tb\r\n"));
}

void MainWindowTest::aSecondStartRestoresTheFirstAndAnotherNameRunsAlone() {
  const std::string prog = MakeProgramFolder({"Minimal", "Trade"});
  // Names of this run's own, so no other pelorin of this user answers.
  const std::string name = "pelorin-test-" + std::to_string(::getpid());
  fs::copy_file(masterDir_ + "/pelorin", prog + "/" + name);
  fs::copy_file(masterDir_ + "/pelorin", prog + "/" + name + "-other");
  const auto start = [&](QProcess& process, const std::string& executable, const std::string& log) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PELORIN_EVENT_LOG"), QString::fromStdString(log));
    process.setProcessEnvironment(environment);
    process.setProgram(QString::fromStdString(prog + "/" + executable));
    process.start();
    QVERIFY(process.waitForStarted());
  };
  const auto logged = [](const std::string& log, const std::string& line) {
    return test::ReadFileBytes(log).find(line + "\n") != std::string::npos;
  };
  QProcess first;
  QProcess second;
  QProcess other;
  const std::string firstLog = dir_->File("first.log");
  start(first, name, firstLog);
  QTRY_VERIFY_WITH_TIMEOUT(logged(firstLog, "listening"), 20000); // the chooser waits for a person now
  start(second, name, dir_->File("second.log"));
  QVERIFY(second.waitForFinished(20000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QTRY_VERIFY_WITH_TIMEOUT(logged(firstLog, "restore"), 10000);
  QCOMPARE(first.state(), QProcess::Running);

  const std::string otherLog = dir_->File("other.log");
  start(other, name + "-other", otherLog);
  QTRY_VERIFY_WITH_TIMEOUT(logged(otherLog, "listening"), 20000);
  QCOMPARE(other.state(), QProcess::Running);
  QCOMPARE(first.state(), QProcess::Running);
  first.kill();
  other.kill();
  first.waitForFinished();
  other.waitForFinished();
}

} // namespace pelorin

QTEST_MAIN(pelorin::MainWindowTest)
#include "main_window_test.moc"
