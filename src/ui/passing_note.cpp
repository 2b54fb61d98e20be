#include "ui/passing_note.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace pelorin {

PassingNoteWindow::PassingNoteWindow(const QString& text)
    : QLabel(text, nullptr,
             Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("PassingNote"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::NoFocus);
  setAlignment(Qt::AlignCenter);
  const int unit = fontMetrics().height();
  setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; border: 1px solid #767676; "
                               "padding: %1px %2px; }")
                    .arg(unit / 2)
                    .arg(unit));
}

PassingNoteWindow* PassingNoteWindow::Show(const QString& text, int milliseconds, QWidget* over) {
  auto* note = new PassingNoteWindow(text);
  note->adjustSize();
  QRect area;
  if (over != nullptr && over->isVisible()) {
    area = over->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) {
    note->move(area.center() - note->rect().center());
  }
  note->show();
  QTimer::singleShot(std::max(milliseconds, 0), note, &QWidget::close);
  return note;
}

} // namespace pelorin
