#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pelorin {

struct SearchState;

/// The editor's search dialog in its two modes: "Find", and "Replace" with the replace text and its two
/// options. It shows the kept search state and, when confirmed with "Search", stores the person's settings
/// back into it.
class TSrchDlg1 : public QDialog {
  Q_OBJECT
public:
  explicit TSrchDlg1(QWidget* parent);

  /// Shows the dialog modally in Find (false) or Replace (true) mode; true, with the settings stored in
  /// `state`, when "Search" was pressed; false, with `state` untouched, when cancelled.
  bool Execute(SearchState& state, bool replace);

  QLineEdit* FindEdit() const { return findEdit_; }
  QLineEdit* ReplaceEdit() const { return replaceEdit_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  QCheckBox* WholeWord() const { return wholeWord_; }
  QCheckBox* PromptOnReplace() const { return promptOnReplace_; }
  QCheckBox* ReplaceAll() const { return replaceAll_; }
  QRadioButton* Up() const { return up_; }
  QRadioButton* Down() const { return down_; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* CancelButton() const { return cancel_; }

private:
  QLineEdit* findEdit_ = nullptr;
  QLabel* replaceLabel_ = nullptr;
  QLineEdit* replaceEdit_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QCheckBox* wholeWord_ = nullptr;
  QCheckBox* promptOnReplace_ = nullptr;
  QCheckBox* replaceAll_ = nullptr;
  QRadioButton* up_ = nullptr;
  QRadioButton* down_ = nullptr;
  QPushButton* search_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

} // namespace pelorin
