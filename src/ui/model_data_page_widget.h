#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;

namespace pelorin {

class ModelSetUp;
struct MainWindowState;

/// The Model/Data page: the model, its input data files (one line each, with a right-click menu) and, in
/// developer mode, the buttons that change the model and save or load the list. Every event goes to the model
/// set-up's routine of the same name; `Changed` then asks the window to show the new state.
class ModelDataPageWidget : public QWidget {
  Q_OBJECT
public:
  ModelDataPageWidget(ModelSetUp& model, QWidget* parent = nullptr);

  void Refresh(const MainWindowState& window);

  QListWidget* InputList() const { return inputList_; }
  QPushButton* ChangeModelButton() const { return changeModel_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* LoadButton() const { return load_; }
  QLabel* ModelLabel() const { return modelLabel_; }
  /// The right-click menu, as set up for the line pressed last.
  QMenu* Popup() const { return popup_; }

  /// A right button press on input line `index`: selects it and opens the menu at `globalPos`.
  void OrigDataFilesCMFListBoxMouseDown(int index, const QPoint& globalPos);

Q_SIGNALS:
  void Changed();

private:
  ModelSetUp& model_;
  QLabel* modelLabel_;
  QPushButton* changeModel_;
  QLabel* inputLabel1_;
  QLabel* inputLabel2_;
  QListWidget* inputList_;
  QPushButton* save_;
  QPushButton* load_;
  QMenu* popup_;
  QAction* selectFile_;
  QAction* viewFile_;
  QAction* tellMore_;
  std::vector<std::string> shownLines_;
};

} // namespace pelorin
