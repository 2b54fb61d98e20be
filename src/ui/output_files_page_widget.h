#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pelorin {

class ModelSetUp;

/// The Output files page: the default output folder with its "Change" button, one line per output file (a
/// click renames it) and the post-simulation name. Events go to the model set-up; `Changed` then asks the
/// window to show the new state.
class OutputFilesPageWidget : public QWidget {
  Q_OBJECT
public:
  OutputFilesPageWidget(ModelSetUp& model, QWidget* parent = nullptr);

  void Refresh();
  /// The output folder's label takes 7/8 of the page control's width.
  void SetSizes(int pageControlWidth);

  QLabel* OutputDirLabel() const { return outputDir_; }
  QPushButton* ChangeButton() const { return change_; }
  QListWidget* OutputList() const { return outputList_; }
  QLineEdit* PostSimNameEdit() const { return postSimName_; }

Q_SIGNALS:
  void Changed();

private:
  ModelSetUp& model_;
  QLabel* outputDir_;
  QPushButton* change_;
  QListWidget* outputList_;
  QLabel* postSimLabel_;
  QLabel* postSimNote_;
  QLineEdit* postSimName_;
  std::vector<std::string> shownLines_;
};

} // namespace pelorin
