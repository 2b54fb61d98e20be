#pragma once

#include <QLabel>

namespace pelorin {

/// A borderless note that stays on top for a while and then goes, without taking the focus from the window
/// the person works in ("Data copied to Clipboard").
class PassingNoteWindow : public QLabel {
  Q_OBJECT
public:
  /// Shows `text` centred over `over` (or the screen) for `milliseconds`; the note deletes itself.
  static PassingNoteWindow* Show(const QString& text, int milliseconds, QWidget* over);

private:
  explicit PassingNoteWindow(const QString& text);
};

} // namespace pelorin
