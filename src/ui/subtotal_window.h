#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pelorin {

class ChoiceComboBox;
class QtUserInterface;
class TSubtForm;

/// "Specify Subtotal": the window of the subtotal logic (TSubtForm). "Select variable", "Select elements"
/// with three choices, the variable's description and dimensions, the preview of the entry, "Add variable to
/// subtotal", "Clear subtotal", the subtotal's lines, OK, Cancel and Help. Accepted when the logic's OK
/// passed (its lines then end with the description); the caller appends the lines to the shock list.
class SubtotalWindow : public QDialog {
  Q_OBJECT
public:
  SubtotalWindow(TSubtForm& form, QtUserInterface& ui, QWidget* parent = nullptr);

  ChoiceComboBox* VariableChoice() const { return variable_; }
  ChoiceComboBox* DimensionChoice(int i) const { return dims_[static_cast<std::size_t>(i)]; }
  QGroupBox* ElementsGroup() const { return elements_; }
  QLabel* DescriptionLabel() const { return description_; }
  QLabel* DimensionsLabel() const { return dimensions_; }
  QLabel* PreviewLabel() const { return preview_; }
  QListWidget* SubtotalLines() const { return lines_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* ClearButton() const { return clear_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

private:
  void Refresh();

  TSubtForm& form_;
  QtUserInterface& ui_;
  ChoiceComboBox* variable_;
  QGroupBox* elements_;
  std::array<ChoiceComboBox*, 3> dims_{};
  QLabel* description_;
  QLabel* dimensions_;
  QLabel* preview_;
  QListWidget* lines_;
  QPushButton* add_;
  QPushButton* clear_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* help_;
  std::vector<std::string> shownLines_;
};

/// "Subtotal Description": "Please specify the Description of this Subtotal.", the description (at most 77
/// characters), OK and Help; it has no Cancel.
class TSbtDescF : public QDialog {
  Q_OBJECT
public:
  TSbtDescF(const QString& proposal, QtUserInterface& ui, QWidget* parent = nullptr);

  QLineEdit* DescriptionEdit() const { return edit_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  /// Asks for the description over `parent`, proposing `proposal`; nothing when the dialog is closed another
  /// way than by OK.
  static std::optional<std::string> Ask(const std::string& proposal, QtUserInterface& ui, QWidget* parent);

private:
  QLineEdit* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

} // namespace pelorin
