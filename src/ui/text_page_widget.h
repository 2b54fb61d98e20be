#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

namespace pelorin {

struct TextPage;

/// The Text page: the model's rich-text description, read-only.
class TextPageWidget : public QWidget {
  Q_OBJECT
public:
  explicit TextPageWidget(QWidget* parent = nullptr);

  /// Shows the description the core names (read again only when the file changes).
  void Refresh(const TextPage& page);

  QTextBrowser* Browser() const { return browser_; }

private:
  QTextBrowser* browser_;
  std::string shownFile_;
  bool shown_ = false;
};

} // namespace pelorin
