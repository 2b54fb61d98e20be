#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace pelorin {

class ClosurePage;

/// The Closure page: the closure text (its editing, files and check join it with the simulation pages).
class ClosurePageWidget : public QWidget {
  Q_OBJECT
public:
  explicit ClosurePageWidget(QWidget* parent = nullptr);

  void Refresh(const ClosurePage& page);
  /// The closure text is one font unit high.
  void SetSizes(int fontUnit);

  QPlainTextEdit* ClosureText() const { return text_; }

private:
  QPlainTextEdit* text_;
  std::vector<std::string> shownLines_;
  bool shown_ = false;
  int fontUnit_ = 0;
};

} // namespace pelorin
