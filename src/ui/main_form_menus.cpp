// The main window's menus: built once from the core's menu state, mirrored from it on every refresh, and the
// View menu's four sub-menus rebuilt whenever the model set-up changes them.

#include "app/access_keys.h"
#include "app/application.h"
#include "ui/about_diagnostics.h"
#include "ui/main_form.h"
#include "ui/qt_text.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace pelorin {

namespace {

QString CaptionOf(const MenuItemState& state) {
  return ToQString(state.caption);
}

} // namespace

QAction* TMainForm::AddItem(QMenu* menu, MenuItemState& state, const char* name,
                            std::function<void()> routine) {
  QAction* action = menu->addAction(CaptionOf(state));
  action->setObjectName(QString::fromLatin1(name));
  if (routine) {
    connect(action, &QAction::triggered, this, [this, routine] { Forward(routine); });
  }
  items_.push_back({action, &state, action->text()});
  return action;
}

QAction* TMainForm::AddSeparator(QMenu* menu, MenuItemState& state) {
  QAction* separator = menu->addSeparator();
  items_.push_back({separator, &state, QString()});
  return separator;
}

QAction* TMainForm::AddViewItem(QMenu* menu, const QString& caption, const char* name,
                                std::function<void()> routine) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this, [this, routine] { Forward(routine); });
  return action;
}

void TMainForm::GiveAccessKeys(QMenu* menu) {
  std::vector<std::string> captions;
  const QList<QAction*> actions = menu->actions();
  for (QAction* action : actions) {
    captions.push_back(action->isSeparator() ? std::string("-") : ToStdString(action->text()));
  }
  const std::vector<std::string> keyed = AssignAccessKeys(captions);
  for (qsizetype i = 0; i < actions.size(); ++i) {
    if (!actions[i]->isSeparator()) {
      actions[i]->setText(ToQString(keyed[static_cast<std::size_t>(i)]));
    }
  }
}

void TMainForm::BuildMenus() {
  MainMenuState& m = core_.Menu;
  ModelSetUp& model = core_.Model;
  QMenuBar* bar = menuBar();

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  AddItem(file, m.EditCMFSTARTFile, "EditCMFSTARTFile1", [&model] { model.EditCMFSTARTFile(); });
  AddItem(file, m.AddModel, "AddModel1", [this] { core_.AddModel1Click(); });
  AddItem(file, m.ShellToDOS, "ShellToDOS1", [this] { core_.ShellToDOS1Click(); });
  AddItem(file, m.ExportTableAsCsv, "ExportTableAsCsv1", [this] { core_.ExportTableAsCsv1Click(); });
  file->addSeparator();
  AddItem(file, m.Exit, "Exit1", [this] { core_.Exit1Click(); });

  // "&Copy" has no items: a click on it copies.
  QAction* copy = bar->addAction(CaptionOf(m.Copy));
  copy->setObjectName(QStringLiteral("Copy1"));
  connect(copy, &QAction::triggered, this, [this] { Forward([this] { core_.Copy1Click(); }); });
  items_.push_back({copy, &m.Copy, copy->text()});

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("View1"));
  connect(view, &QMenu::aboutToShow, this, [this] { Forward([this] { core_.Model.ViewData1Click(); }); });
  view_.inputData = view->addMenu(QStringLiteral("&Input Data files"));
  view_.inputData->setObjectName(QStringLiteral("InputDataFiles1"));
  view_.updatedData = view->addMenu(QStringLiteral("&Updated Data"));
  view_.updatedData->setObjectName(QStringLiteral("UpdatedData1"));
  view_.outputsPreSim = view->addMenu(QStringLiteral("&Outputs (PreSim)"));
  view_.outputsPreSim->setObjectName(QStringLiteral("OutputsPreSim1"));
  view_.outputsPostSim = view->addMenu(QStringLiteral("Outputs (&PostSim)"));
  view_.outputsPostSim->setObjectName(QStringLiteral("OutputsPostSim1"));
  view->addSeparator();
  view_.xacFile =
      AddViewItem(view, QStringLiteral("X&AC file"), "XACFile1", [&model] { model.XACFile1Click(); });
  view_.logFile =
      AddViewItem(view, QStringLiteral("&Log File"), "LogFile1", [&model] { model.LogFile1Click(); });
  view_.mainMrkFile = AddViewItem(view, QStringLiteral("&Main MERKA file"), "MainMERKAFile1",
                                  [&model] { model.MainMERKAFile1Click(); });
  view_.mrkStiFile = AddViewItem(view, QStringLiteral("MERKA STI (&Condensation) file"), "MERKASTIFile1",
                                 [&model] { model.MERKASTIFile1Click(); });
  AddViewItem(view, QStringLiteral("CMFSTART file"), "CMFSTARTFile1", [&model] { model.EditCMFSTARTFile(); });
  AddViewItem(view, QStringLiteral("Other Te&xt file"), "OtherTextFile1",
              [&model] { model.OtherTextFile1Click(); });
  AddViewItem(view, QStringLiteral("Other &Header Array file"), "OtherHeaderArrayFile1",
              [&model] { model.OtherHeaderArrayFile1Click(); });
  view_.telvari = AddViewItem(view, QStringLiteral("Solution via Telvari"), "SolutionViaTelvari1",
                              [&model] { model.SolutionViaTelvari1Click(); });
  view_.brisolent = AddViewItem(view, QStringLiteral("Solution via Brisolent"), "SolutionViaBrisolent1",
                                [&model] { model.SolutionViaBrisolent1Click(); });
  view_.lumarix = AddViewItem(view, QStringLiteral("Solution via Lumarix"), "SolutionViaLumarix1",
                              [&model] { model.SolutionViaLumarix1Click(); });
  view->addSeparator();
  view_.accuracySummary = AddViewItem(view, QStringLiteral("Accu&racy Summary"), "AccuracySummary1",
                                      [this] { core_.Jobs.AccuracySummary1Click(); });
  AddViewItem(view, QStringLiteral("Sets, Subsets, &Variables"), "SetsSubsetsVariables1",
              [this] { OpenInspector(); });

  developerMenu_ = bar->addMenu(CaptionOf(m.Developer));
  developerMenu_->setObjectName(QStringLiteral("Developer1"));
  items_.push_back({developerMenu_->menuAction(), &m.Developer, developerMenu_->title()});
  AddItem(developerMenu_, m.ViewTempDirTextFiles, "ViewTempDirTextFiles1",
          [&model] { model.ViewTempDirTextFiles1Click(); });
  AddItem(developerMenu_, m.ViewTempDirHARFiles, "ViewTempDirHARFiles1",
          [&model] { model.ViewTempDirHARFiles1Click(); });

  QMenu* options = bar->addMenu(QStringLiteral("&Options"));
  options->setObjectName(QStringLiteral("Options1"));
  editorMenu_ = options->addMenu(CaptionOf(m.ChangeTextEditor));
  editorMenu_->setObjectName(QStringLiteral("ChangeTextEditor1"));
  items_.push_back({editorMenu_->menuAction(), &m.ChangeTextEditor, editorMenu_->title()});
  connect(editorMenu_, &QMenu::aboutToShow, this,
          [this] { Forward([this] { core_.Model.ChangeTextEditor1Click(); }); });
  ownEditor_ = AddViewItem(editorMenu_, QStringLiteral("Use &Orvane's editor"), "UseOrvanesEditor1",
                           [&model] { model.UseOrvanesEditor1Click(); });
  anotherEditor_ = AddViewItem(editorMenu_, QStringLiteral("Use &Another editor"), "UseAnotherEditor1",
                               [&model] { model.UseAnotherEditor1Click(); });
  ownEditor_->setCheckable(true);
  anotherEditor_->setCheckable(true);
  AddItem(options, m.UsePif, "UsePif1", nullptr);
  AddSeparator(options, m.ResultsSeparator);
  const auto radioPair = [this, options](MenuItemState& first, const char* firstName,
                                         std::function<void()> firstRoutine, MenuItemState& second,
                                         const char* secondName, std::function<void()> secondRoutine) {
    auto* group = new QActionGroup(options);
    for (QAction* action : {AddItem(options, first, firstName, std::move(firstRoutine)),
                            AddItem(options, second, secondName, std::move(secondRoutine))}) {
      action->setCheckable(true);
      group->addAction(action);
    }
  };
  radioPair(
      m.ShowLevelsResults, "ShowLevelsResults1", [this] { core_.ShowLevelsResults1Click(); },
      m.IgnoreLevelsResults, "IgnoreLevelsResults1", [this] { core_.IgnoreLevelsResults1Click(); });
  options->addSeparator();
  radioPair(
      m.ShowSubtotalsResults, "ShowSubtotalsResults1", [this] { core_.ShowSubtotalsResults1Click(); },
      m.IgnoreSubtotalsResults, "IgnoreSubtotalsResults1", [this] { core_.IgnoreSubtotalsResults1Click(); });
  options->addSeparator();
  radioPair(
      m.CreateXACFile, "CreateXACFile1", [this] { core_.CreateXACFile1Click(); }, m.DoNotCreateXACFile,
      "DoNotCreateXACFile1", [this] { core_.DoNotCreateXACFile1Click(); });
  options->addSeparator();
  AddItem(options, m.StartupMusic, "StartupMusic1", [this] {
    core_.StartupMusic1Click();
  })->setCheckable(true);
  AddSeparator(options, m.ZipSeparator);
  AddItem(options, m.ZipTempDir, "ZipTempDir1", [&model] { model.ZipTempDir1Click(); });
  AddItem(options, m.ZipKeepDir, "ZipKeepDir1", [&model] { model.ZipKeepDir1Click(); });
  AddItem(options, m.ZipModelDir, "ZipModelDir1", [&model] { model.ZipModelDir1Click(); });
  options->addSeparator();
  AddItem(options, m.ReloadModel, "ReloadModel1", [this] { core_.ReloadModel1Click(); });

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  AddItem(help, m.Contents, "Contents1", [this] { core_.Contents1Click(); });
  AddItem(help, m.CurrentPage, "CurrentPage1", [this] {
    core_.CurrentPage1Click();
  })->setShortcut(QKeySequence(Qt::Key_F1));
  AddItem(help, m.WhatsNew, "WhatsNew1", [this] { core_.WhatsNew1Click(); });
  AddItem(help, m.HelpOnModel, "HelpOnThisModel1", [this] { core_.HelpOnThisModel1Click(); });
  AddItem(help, m.AboutDiagnostics, "AboutDiagnostics1",
          [this] { AboutDiagnostics1Click(core_, ui_, this, [this] { Refresh(); }); });

  menus_ = {file, view, developerMenu_, options, editorMenu_, help};
  for (QMenu* menu : menus_) {
    GiveAccessKeys(menu);
  }
  for (MirroredItem& item : items_) {
    item.caption = item.action->text();
  }
}

QAction* TMainForm::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

QMenu* TMainForm::Menu(const QString& name) const {
  return findChild<QMenu*>(name);
}

void TMainForm::RefreshMenus() {
  for (const MirroredItem& item : items_) {
    item.action->setVisible(item.state->visible);
    item.action->setEnabled(item.state->enabled);
    if (item.action->isCheckable()) {
      item.action->setChecked(item.state->checked);
    }
  }
  const ViewMenuState& view = core_.Model.ViewMenu;
  view_.inputData->setEnabled(view.InputData.Enabled);
  view_.updatedData->setEnabled(view.UpdatedData.Enabled);
  view_.outputsPreSim->setEnabled(view.OutputsPreSim.Enabled);
  view_.outputsPostSim->setEnabled(view.OutputsPostSim.Enabled);
  view_.xacFile->setEnabled(view.XacFileEnabled);
  view_.logFile->setEnabled(view.LogFileEnabled);
  view_.mainMrkFile->setEnabled(view.MainMrkFileEnabled);
  view_.mrkStiFile->setEnabled(view.MrkStiFileEnabled);
  view_.accuracySummary->setEnabled(view.AccuracySummaryEnabled);
  view_.telvari->setEnabled(view.TelvariEnabled);
  view_.brisolent->setEnabled(view.BrisolentEnabled);
  view_.lumarix->setEnabled(view.LumarixEnabled);
  ownEditor_->setChecked(view.OwnEditorChecked);
  anotherEditor_->setChecked(view.AnotherEditorChecked);
  RebuildViewSubMenus();
}

void TMainForm::RebuildViewSubMenus() {
  const ViewMenuState& view = core_.Model.ViewMenu;
  const std::pair<const ViewSubMenu*, QMenu*> subMenus[] = {{&view.InputData, view_.inputData},
                                                            {&view.UpdatedData, view_.updatedData},
                                                            {&view.OutputsPreSim, view_.outputsPreSim},
                                                            {&view.OutputsPostSim, view_.outputsPostSim}};
  std::vector<std::string> captions;
  for (const auto& [subMenu, menu] : subMenus) {
    for (const ViewMenuItem& item : subMenu->Items) {
      captions.push_back(item.Caption);
    }
    captions.push_back("-");
  }
  if (captions == viewCaptions_) {
    return;
  }
  viewCaptions_ = captions;
  using ItemRoutine = void (ModelSetUp::*)(int);
  const ItemRoutine routines[] = {&ModelSetUp::ViewInputDataItemClick, &ModelSetUp::ViewUpdatedDataItemClick,
                                  &ModelSetUp::ViewPreSimItemClick, &ModelSetUp::ViewPostSimItemClick};
  for (std::size_t s = 0; s < std::size(subMenus); ++s) {
    QMenu* menu = subMenus[s].second;
    // Removed gently: the refresh may run inside one of these items' own signal.
    for (QAction* old : menu->actions()) {
      menu->removeAction(old);
      old->deleteLater();
    }
    const std::vector<ViewMenuItem>& items = subMenus[s].first->Items;
    for (std::size_t k = 0; k < items.size(); ++k) {
      const ItemRoutine routine = routines[s];
      ModelSetUp& model = core_.Model;
      QAction* action = menu->addAction(ToQString(items[k].Caption));
      connect(action, &QAction::triggered, this, [this, &model, routine, k] {
        Forward([&model, routine, k] { (model.*routine)(static_cast<int>(k)); });
      });
    }
    GiveAccessKeys(menu);
  }
}

} // namespace pelorin
