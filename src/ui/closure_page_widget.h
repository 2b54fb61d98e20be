#pragma once

#include "ui/log_memo_view.h"
#include "ui/page_text_mirror.h"

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelorin {

class ClosurePage;

/// The Closure page: the closure text, "Load Closure", "Save Closure", "Check Closure", the closure-check log
/// with "Hide Error Log", and the set-sizes log with "&Set Sizes etc". Every button goes to the closure
/// logic's routine of the same name; `Changed` then asks the window to show the new state. What the person
/// types is handed to the logic (with its edited mark) before anything else happens.
class ClosurePageWidget : public QWidget {
  Q_OBJECT
public:
  explicit ClosurePageWidget(ClosurePage& page, QWidget* parent = nullptr);

  void Refresh();
  /// The closure text is one font unit high.
  void SetSizes(int fontUnit);
  /// Hands the text typed since the last call (marking the closure edited) and the selection to the logic.
  void PushEdits();

  QPlainTextEdit* ClosureText() const { return text_; }
  QPushButton* LoadButton() const { return load_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* CheckButton() const { return check_; }
  QPlainTextEdit* ErrorLog() const { return errorLog_; }
  QPushButton* HideErrorLogButton() const { return hideErrorLog_; }
  QPlainTextEdit* SetSizesLog() const { return setSizesLog_; }
  QPushButton* SetSizesButton() const { return setSizes_; }

Q_SIGNALS:
  void Changed();

private:
  template <typename Routine> void Forward(Routine routine);

  ClosurePage& page_;
  QPlainTextEdit* text_;
  QPushButton* load_;
  QPushButton* save_;
  QPushButton* check_;
  QLabel* errorLogLabel_;
  QPlainTextEdit* errorLog_;
  QPushButton* hideErrorLog_;
  QPlainTextEdit* setSizesLog_;
  QPushButton* setSizes_;
  LogMemoView errorLogView_;
  LogMemoView setSizesView_;
  PageTextMirror textMirror_;
  int fontUnit_ = 0;
};

} // namespace pelorin
