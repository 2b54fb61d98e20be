#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace pelorin {

class ShocksPage;

/// The Shocks page: the shock statements (the statement builder joins it with the simulation pages).
class ShocksPageWidget : public QWidget {
  Q_OBJECT
public:
  explicit ShocksPageWidget(QWidget* parent = nullptr);

  void Refresh(const ShocksPage& page);

  QPlainTextEdit* ShockText() const { return text_; }

private:
  QPlainTextEdit* text_;
  std::vector<std::string> shownLines_;
  bool shown_ = false;
};

} // namespace pelorin
