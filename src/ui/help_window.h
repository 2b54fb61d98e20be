#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace pelorin {

/// A help window: one help page (the program's or a model's HTML help) shown at a topic's anchor, with back,
/// forward, contents and find.
class HelpWindow : public QWidget {
  Q_OBJECT
public:
  explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

  /// Shows the help page at `topic` (an anchor); an empty topic shows the top of the page, its contents.
  void ShowTopic(const QString& topic);
  /// Finds the next place that holds `text` after the cursor, starting again at the top when there is none
  /// below; false when the page does not hold it.
  bool FindNext(const QString& text);

  QTextBrowser* Browser() const { return browser_; }
  QLineEdit* FindBox() const { return findBox_; }

private:
  QString helpFile_;
  QTextBrowser* browser_;
  QLineEdit* findBox_;
  QPushButton* backButton_;
  QPushButton* forwardButton_;
};

} // namespace pelorin
