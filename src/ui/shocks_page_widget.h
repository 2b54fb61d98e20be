#pragma once

#include "ui/page_text_mirror.h"

#include <QLineEdit>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelorin {

class ChoiceComboBox;
class QtUserInterface;
class ShocksPage;

/// The "Value of Shock" box: at most 14 characters, each typed character passed through `keyFilter` first
/// (0 drops it, another character replaces it).
class ShockValueEdit : public QLineEdit {
public:
  explicit ShockValueEdit(QWidget* parent = nullptr);

  std::function<char(char)> keyFilter;

protected:
  void keyPressEvent(QKeyEvent* event) override;
};

/// The Shocks page: the statement builder ("Variable to Shock", "Elements to Shock", "Value of Shock", the
/// hidden "Type of Shock"), its preview, the variable's description and dimensions, the shock list and its
/// buttons, and "Define Subtotal" with its dialogs. Every control goes to the shock logic's routine of the
/// same name; `Changed` then asks the window to show the new state.
class ShocksPageWidget : public QWidget {
  Q_OBJECT
public:
  ShocksPageWidget(ShocksPage& page, QtUserInterface& ui, QWidget* parent = nullptr);

  void Refresh();
  /// Hands the text typed since the last call (marking the shock list edited) and the selection to the
  /// logic.
  void PushEdits();

  QPlainTextEdit* ShockText() const { return text_; }
  ChoiceComboBox* VariableChoice() const { return variable_; }
  ChoiceComboBox* DimensionChoice(int i) const { return dims_[static_cast<std::size_t>(i)]; }
  QGroupBox* ElementsGroup() const { return elements_; }
  ShockValueEdit* ValueEdit() const { return value_; }
  QLabel* PreviewLabel() const { return preview_; }
  QLabel* DescriptionLabel() const { return description_; }
  QLabel* DimensionsLabel() const { return dimensions_; }
  QLabel* DecimalCommaNote() const { return commaNote_; }
  ChoiceComboBox* TypeChoice() const { return type_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* ClearButton() const { return clear_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* LoadButton() const { return load_; }
  QPushButton* DefineSubtotalButton() const { return subtotal_; }

Q_SIGNALS:
  void Changed();

private:
  template <typename Routine> void Forward(Routine routine);
  void DefineSubtotalBtn1Click();

  ShocksPage& page_;
  QtUserInterface& ui_;
  ChoiceComboBox* variable_;
  QGroupBox* elements_;
  std::array<ChoiceComboBox*, 3> dims_{};
  QLabel* valueLabel_;
  ShockValueEdit* value_;
  QLabel* typeLabel_;
  ChoiceComboBox* type_;
  QLabel* description_;
  QLabel* dimensions_;
  QLabel* preview_;
  QLabel* commaNote_;
  QPlainTextEdit* text_;
  QPushButton* add_;
  QPushButton* clear_;
  QPushButton* save_;
  QPushButton* load_;
  QPushButton* subtotal_;
  PageTextMirror textMirror_;
};

} // namespace pelorin
