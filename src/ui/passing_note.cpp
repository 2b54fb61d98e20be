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
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  const int margin = fontMetrics().height();
  setContentsMargins(margin, margin / 2, margin, margin / 2);
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
