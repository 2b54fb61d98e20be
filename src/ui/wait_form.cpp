#include "ui/wait_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {

constexpr int kImageSize = 64;

// One image of the animation: a dial of twelve ticks with a sweeping hand, a quarter turn further in each
// image, over three bars that rise and fall in turn (the model at work on its numbers).
QPixmap DrawImage(int frame) {
  QPixmap pixmap(kImageSize, kImageSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(kImageSize / 2.0, kImageSize / 2.0);
  const double radius = kImageSize / 2.0 - 3;
  painter.setPen(QPen(QColor(40, 70, 140), 2));
  painter.setBrush(QColor(235, 241, 252));
  painter.drawEllipse(centre, radius, radius);
  for (int tick = 0; tick < 12; ++tick) {
    const double angle = tick * std::numbers::pi / 6;
    const QPointF direction(std::sin(angle), -std::cos(angle));
    painter.setPen(QPen(QColor(40, 70, 140), tick % 3 == 0 ? 2.5 : 1.2));
    painter.drawLine(centre + direction * (radius - 6), centre + direction * (radius - 2));
  }
  const int heights[4][3] = {{10, 18, 26}, {18, 26, 10}, {26, 10, 18}, {18, 10, 26}};
  const QColor bars[3] = {QColor(70, 150, 90), QColor(220, 150, 40), QColor(190, 60, 60)};
  for (int b = 0; b < 3; ++b) {
    const int height = heights[frame][b];
    const QRectF bar(centre.x() - 13 + b * 9, centre.y() + 14 - height, 7, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(bars[b]);
    painter.drawRect(bar);
  }
  const double angle = frame * std::numbers::pi / 2;
  const QPointF hand(std::sin(angle), -std::cos(angle));
  painter.setPen(QPen(QColor(20, 30, 60), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(centre, centre + hand * (radius - 9));
  painter.setBrush(QColor(20, 30, 60));
  painter.drawEllipse(centre, 3, 3);
  return pixmap;
}

} // namespace

const std::array<QPixmap, 4>& TWaitForm::Images() {
  static const std::array<QPixmap, 4> images{DrawImage(0), DrawImage(1), DrawImage(2), DrawImage(3)};
  return images;
}

TWaitForm::TWaitForm(std::function<void()> hide, std::function<void()> cancel)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), image_(new QLabel(this)),
      text_(new QLabel(this)), hide_(new QPushButton(QStringLiteral("&Hide"), this)),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
  setObjectName(QStringLiteral("TWaitForm"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  image_->setObjectName(QStringLiteral("WaitImage"));
  image_->setFixedSize(kImageSize, kImageSize);
  text_->setObjectName(QStringLiteral("WaitLabel"));
  text_->setWordWrap(true);
  text_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  hide_->setObjectName(QStringLiteral("HideButton"));
  cancel_->setObjectName(QStringLiteral("CancelButton"));
  auto* top = new QHBoxLayout;
  top->addWidget(image_, 0, Qt::AlignTop);
  top->addSpacing(fontMetrics().height());
  top->addWidget(text_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(hide_);
  buttons->addWidget(cancel_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(hide_, &QPushButton::clicked, this, std::move(hide));
  connect(cancel_, &QPushButton::clicked, this, std::move(cancel));
}

void TWaitForm::Open(const QString& caption, const QString& text, QWidget* over) {
  setWindowTitle(caption);
  Update(text, 1);
  adjustSize();
  if (over != nullptr && over->isVisible()) {
    const QRect area = over->frameGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TWaitForm::Update(const QString& text, int image) {
  if (text_->text() != text) {
    text_->setText(text);
  }
  imageNumber_ = image >= 1 && image <= 4 ? image : 1;
  image_->setPixmap(Images()[static_cast<std::size_t>(imageNumber_ - 1)]);
}

void TWaitForm::closeEvent(QCloseEvent* event) {
  // Only the job runner closes it (through hide()): the window manager's close is ignored.
  event->ignore();
}

void TWaitForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

} // namespace pelorin
