#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QSoundEffect;
class QTabWidget;

namespace pelorin {

class Application;
class ClosurePageWidget;
class ModelDataPageWidget;
class OutputFilesPageWidget;
class PicturePageWidget;
class QtUserInterface;
class ResultsPageWidget;
class ShocksPageWidget;
class SolvePageWidget;
class TextPageWidget;
class TitlePageWidget;
class VexmoorNotifier;
struct MenuItemState;
struct ViewMenuItem;

/// The main window: nine pages, the menus and the 600 ms timer. It holds widgets and connections only: each
/// event goes to the core routine of the same name, and Refresh then shows the core's state (caption, pages,
/// menus, enabling, the timer, the start-up sound, a request to close).
class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  TMainForm(Application& core, QtUserInterface& ui);
  ~TMainForm() override;

  /// Shows the core's state in every widget. Safe to call at any time; nested calls do nothing.
  void Refresh();

  /// The timer's tick.
  void DosJobTimerTimer();
  /// A request for page `index` (a click on its tab): the core's page-change rules decide.
  void ShowPage(int index);

  QTabWidget* Pages() const { return pages_; }
  /// The menu action whose object name is `name` (the core's routine without "Click": "Copy1", "AddModel1").
  QAction* Action(const QString& name) const;
  /// The top-level menus by their object names ("File1", "View1", ...).
  QMenu* Menu(const QString& name) const;
  const QTimer& Timer() const { return dosJobTimer_; }
  PicturePageWidget* PicturePage() const { return picturePage_; }
  TextPageWidget* TextPage() const { return textPage_; }
  TitlePageWidget* TitlePage() const { return titlePage_; }
  ModelDataPageWidget* ModelDataPage() const { return modelDataPage_; }
  OutputFilesPageWidget* OutputFilesPage() const { return outputFilesPage_; }
  ClosurePageWidget* ClosurePage() const { return closurePage_; }
  ShocksPageWidget* ShocksPage() const { return shocksPage_; }
  SolvePageWidget* SolvePage() const { return solvePage_; }
  ResultsPageWidget* ResultsPage() const { return resultsPage_; }
  /// Tells the charting program about the Results page's tables.
  VexmoorNotifier& Charting() const { return *charting_; }
  /// The start-up sound is playing.
  bool SoundPlaying() const;

Q_SIGNALS:
  /// The window has been shown and painted for the first time.
  void FirstPainted();

protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // One menu item mirrored from the core's menu state.
  struct MirroredItem {
    QAction* action;
    MenuItemState* state;
    QString caption; // with its access key
  };

  void BuildPages();
  /// Joins the Results page's dialogs and the charting program to the core.
  void AttachResults();
  /// "Sets, Subsets, &Variables": the inspector over the current model information.
  void OpenInspector();
  void BuildMenus();
  QAction* AddItem(QMenu* menu, MenuItemState& state, const char* name, std::function<void()> routine);
  QAction* AddSeparator(QMenu* menu, MenuItemState& state);
  QAction* AddViewItem(QMenu* menu, const QString& caption, const char* name, std::function<void()> routine);
  void GiveAccessKeys(QMenu* menu);
  void RefreshMenus();
  void RebuildViewSubMenus();
  /// Lays the pages out from the font unit and the client size.
  void SetSizes();
  void SyncTimer();
  void SyncSound();
  /// Runs a core routine, then shows what it changed.
  void Forward(const std::function<void()>& routine);
  /// Hands what was typed into the closure and shock texts to the core (before any of its routines runs).
  void PushEdits();

  Application& core_;
  QtUserInterface& ui_;
  QTabWidget* pages_ = nullptr;
  PicturePageWidget* picturePage_ = nullptr;
  TextPageWidget* textPage_ = nullptr;
  TitlePageWidget* titlePage_ = nullptr;
  ModelDataPageWidget* modelDataPage_ = nullptr;
  ClosurePageWidget* closurePage_ = nullptr;
  ShocksPageWidget* shocksPage_ = nullptr;
  OutputFilesPageWidget* outputFilesPage_ = nullptr;
  SolvePageWidget* solvePage_ = nullptr;
  ResultsPageWidget* resultsPage_ = nullptr;
  VexmoorNotifier* charting_ = nullptr;

  std::vector<MirroredItem> items_;
  std::vector<QMenu*> menus_;
  QMenu* developerMenu_ = nullptr;
  QMenu* editorMenu_ = nullptr;
  QAction* ownEditor_ = nullptr;
  QAction* anotherEditor_ = nullptr;
  // The View menu's entries whose enabling the core sets each time it opens.
  struct ViewEntries {
    QMenu* inputData = nullptr;
    QMenu* updatedData = nullptr;
    QMenu* outputsPreSim = nullptr;
    QMenu* outputsPostSim = nullptr;
    QAction* xacFile = nullptr;
    QAction* logFile = nullptr;
    QAction* mainMrkFile = nullptr;
    QAction* mrkStiFile = nullptr;
    QAction* accuracySummary = nullptr;
    QAction* telvari = nullptr;
    QAction* brisolent = nullptr;
    QAction* lumarix = nullptr;
  } view_;
  std::vector<std::string> viewCaptions_;

  QTimer dosJobTimer_;
  std::unique_ptr<QSoundEffect> sound_;
  std::string soundFile_;
  bool refreshing_ = false;
  bool closedDown_ = false;
  bool painted_ = false;
};

} // namespace pelorin
