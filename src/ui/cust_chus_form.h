#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

namespace pelorin {

/// The model chooser of start-up: one radio button per installed model ("name - description"), "Ok", and the
/// note that the choice holds until the program ends. Closing it any other way than by "Ok" cancels it.
class TCustChusForm : public QDialog {
  Q_OBJECT
public:
  TCustChusForm(const std::vector<std::string>& items, int preselected, QWidget* parent = nullptr);

  /// The model whose button is checked (-1 for none).
  int ChosenIndex() const;
  /// Checks the button of model `index`.
  void SetChosenIndex(int index);

  QPushButton* OkButton() const { return okButton_; }
  QGroupBox* Group() const { return group_; }

private:
  QButtonGroup* buttons_;
  QGroupBox* group_;
  QPushButton* okButton_;
  QLabel* intro_;
  QLabel* note_;
};

} // namespace pelorin
