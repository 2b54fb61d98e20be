#include "ui/main_form.h"

#include "app/application.h"
#include "results/acc_summary_dialog.h"
#include "results/inspector.h"
#include "ui/acc_summary_dlg.h"
#include "ui/closure_page_widget.h"
#include "ui/inspectr_dlg.h"
#include "ui/model_data_page_widget.h"
#include "ui/output_files_page_widget.h"
#include "ui/picture_page_widget.h"
#include "ui/qt_text.h"
#include "ui/qt_user_interface.h"
#include "ui/results_page_widget.h"
#include "ui/shocks_page_widget.h"
#include "ui/solve_page_widget.h"
#include "ui/text_page_widget.h"
#include "ui/title_page_widget.h"
#include "ui/vexmoor_notifier.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QSoundEffect>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

namespace pelorin {

TMainForm::TMainForm(Application& core, QtUserInterface& ui) : core_(core), ui_(ui) {
  setObjectName(QStringLiteral("TMainForm"));
  BuildPages();
  BuildMenus();
  AttachResults();
  dosJobTimer_.setInterval(600);
  connect(&dosJobTimer_, &QTimer::timeout, this, &TMainForm::DosJobTimerTimer);
  ui_.SetMainWindow(this);
  ui_.SetWaitButtons([this] { Forward([this] { core_.Jobs.HideButtonClick(); }); },
                     [this] { Forward([this] { core_.Jobs.CancelButtonClick(); }); });

  const int unit = core_.App.FontUnit;
  setMinimumSize(50 * unit, 30 * unit);
  resize(std::max(core_.Window.width, 50 * unit), std::max(core_.Window.height, 30 * unit));
  Refresh();
}

TMainForm::~TMainForm() {
  ui_.SetWaitButtons({}, {});
  ui_.SetMainWindow(nullptr);
}

void TMainForm::BuildPages() {
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("TabbedNotebook1"));
  pages_->setDocumentMode(false);
  picturePage_ = new PicturePageWidget;
  textPage_ = new TextPageWidget;
  titlePage_ = new TitlePageWidget;
  modelDataPage_ = new ModelDataPageWidget(core_.Model);
  closurePage_ = new ClosurePageWidget(core_.Simulation.Closure);
  shocksPage_ = new ShocksPageWidget(core_.Simulation.Shocks, ui_);
  outputFilesPage_ = new OutputFilesPageWidget(core_.Model);
  solvePage_ = new SolvePageWidget(core_.Simulation.Solve, core_.Model, ui_);
  resultsPage_ = new ResultsPageWidget(core_.Results);
  const std::pair<QWidget*, const char*> pages[kPageCount] = {
      {picturePage_, "Picture"},          {textPage_, "Text"},       {titlePage_, "Title"},
      {modelDataPage_, "Model/Data"},     {closurePage_, "Closure"}, {shocksPage_, "Shocks"},
      {outputFilesPage_, "Output files"}, {solvePage_, "Solve"},     {resultsPage_, "Results"}};
  // The pages' text is a quarter larger than the window's.
  QFont pageFont = font();
  pageFont.setPixelSize(std::max(5 * core_.App.FontUnit / 4, 1));
  pageFont.setBold(false);
  pageFont.setItalic(false);
  for (const auto& [page, caption] : pages) {
    page->setFont(pageFont);
    pages_->addTab(page, QString::fromLatin1(caption));
  }
  pages_->tabBar()->installEventFilter(this);
  connect(pages_, &QTabWidget::currentChanged, this, &TMainForm::ShowPage);
  connect(modelDataPage_, &ModelDataPageWidget::Changed, this, &TMainForm::Refresh);
  connect(outputFilesPage_, &OutputFilesPageWidget::Changed, this, &TMainForm::Refresh);
  connect(resultsPage_, &ResultsPageWidget::Changed, this, &TMainForm::Refresh);
  connect(closurePage_, &ClosurePageWidget::Changed, this, &TMainForm::Refresh);
  connect(shocksPage_, &ShocksPageWidget::Changed, this, &TMainForm::Refresh);
  connect(solvePage_, &SolvePageWidget::Changed, this, &TMainForm::Refresh);
  connect(solvePage_, &SolvePageWidget::SolveRequested, this,
          [this] { Forward([this] { core_.Simulation.Solve.SolveButtonClick(); }); });
  setCentralWidget(pages_);
}

void TMainForm::AttachResults() {
  charting_ = new VexmoorNotifier(core_.App.ProgramDir, VexmoorNotifier::DefaultSocketName(), this);
  core_.Results.SetChartingLink({[this] {
                                   charting_->SetStartFolder(core_.Model.Model.ModelDir);
                                   return charting_->EnsureRunning();
                                 },
                                 [this] { charting_->Notify(); }});
  // The job runner shows the accuracy summary after a solve, and the View menu on request.
  core_.Jobs.Hooks.showAccSummary = [this](AccSummaryDialog& logic) {
    Refresh();
    TAccSummaryDlg dialog(
        logic, [this] { core_.ShowHelpContext(kAccSummaryHelp); }, this);
    dialog.exec();
  };
}

void TMainForm::OpenInspector() {
  TInspectrDlg dialog(
      core_.ModelInfo, kInspectorCaption, kInspectorHelp, ui_,
      [this] { core_.ShowHelpContext(kInspectorHelp); }, this);
  dialog.exec();
}

void TMainForm::Forward(const std::function<void()>& routine) {
  PushEdits();
  routine();
  Refresh();
}

void TMainForm::PushEdits() {
  closurePage_->PushEdits();
  shocksPage_->PushEdits();
}

void TMainForm::ShowPage(int index) {
  if (index != core_.Window.currentPage) {
    Forward([this, index] { core_.ShowPage(index); });
  } else {
    Refresh();
  }
}

void TMainForm::DosJobTimerTimer() {
  // The tick may show messages; the timer waits for it so that no second tick runs inside the first.
  dosJobTimer_.stop();
  Forward([this] { core_.DosJobTimerTimer(); });
}

void TMainForm::Refresh() {
  if (refreshing_) {
    return;
  }
  refreshing_ = true;
  const MainWindowState& window = core_.Window;
  setWindowTitle(ToQString(window.caption));
  setEnabled(window.enabled);
  picturePage_->Refresh(core_.Picture);
  textPage_->Refresh(core_.Text);
  titlePage_->Refresh(core_.TitlePage);
  modelDataPage_->Refresh(window);
  closurePage_->Refresh();
  shocksPage_->Refresh();
  outputFilesPage_->Refresh();
  solvePage_->Refresh();
  resultsPage_->Refresh();
  if (pages_->currentIndex() != window.currentPage) {
    const QSignalBlocker blocker(pages_);
    pages_->setCurrentIndex(window.currentPage);
  }
  RefreshMenus();
  SyncTimer();
  SyncSound();
  refreshing_ = false;
  if (window.closeRequested && !closedDown_) {
    // Closed once the routine that asked has returned.
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void TMainForm::SyncTimer() {
  if (core_.Window.timerEnabled && !closedDown_) {
    if (!dosJobTimer_.isActive()) {
      dosJobTimer_.start();
    }
  } else {
    dosJobTimer_.stop();
  }
}

void TMainForm::SyncSound() {
  const MainWindowState& window = core_.Window;
  if (window.soundPlaying && !window.startupSound.empty() && !closedDown_) {
    if (sound_ == nullptr || soundFile_ != window.startupSound) {
      soundFile_ = window.startupSound;
      sound_ = std::make_unique<QSoundEffect>();
      sound_->setSource(QUrl::fromLocalFile(ToQString(soundFile_)));
      sound_->play();
    }
  } else if (sound_ != nullptr && sound_->isPlaying()) {
    sound_->stop();
  }
}

bool TMainForm::SoundPlaying() const {
  return sound_ != nullptr && core_.Window.soundPlaying;
}

void TMainForm::SetSizes() {
  const int unit = core_.App.FontUnit;
  outputFilesPage_->SetSizes(pages_->width());
  titlePage_->SetSizes(unit);
  closurePage_->SetSizes(unit);
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  picturePage_->SetSizes(screen != nullptr ? screen->geometry().height() : 768);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  core_.FormResize(width(), height());
  SetSizes();
}

void TMainForm::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  if (!painted_) {
    painted_ = true;
    // The pages paint right after the window itself, in the same pass.
    QTimer::singleShot(0, this, &TMainForm::FirstPainted);
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pages_->tabBar()) {
    if (event->type() == QEvent::MouseButtonPress) {
      // The core decides before the page changes, so a refused page is never shown.
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int index = pages_->tabBar()->tabAt(mouse->position().toPoint());
      if (mouse->button() == Qt::LeftButton && index >= 0 && index != pages_->currentIndex()) {
        ShowPage(index);
        return true;
      }
    } else if (event->type() == QEvent::Wheel) {
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!closedDown_) {
    closedDown_ = true;
    dosJobTimer_.stop();
    PushEdits();
    core_.CloseDown();
    SyncSound();
    ui_.CloseHelpWindows();
    ui_.CloseWaitDialog();
  }
  event->accept();
}

} // namespace pelorin
