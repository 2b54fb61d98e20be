#include "ui/accuracy_faces.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace pelorin {

namespace {

QPixmap Transparent(int size, qreal devicePixelRatio) {
  QPixmap pixmap(static_cast<int>(size * devicePixelRatio), static_cast<int>(size * devicePixelRatio));
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

} // namespace

QColor AccuracyFaceColour(int grade) {
  // Red, amber and green, mixed along the grades; kept dark enough to hold a black outline.
  const QColor red(222, 45, 38);
  const QColor amber(250, 190, 30);
  const QColor green(40, 170, 70);
  const double t = std::clamp(grade, 0, kAccuracyFaces - 1) / 10.0;
  const QColor& from = t < 0.5 ? red : amber;
  const QColor& to = t < 0.5 ? amber : green;
  const double f = t < 0.5 ? t * 2 : (t - 0.5) * 2;
  return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * f),
                          static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * f),
                          static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * f));
}

QPixmap AccuracyFace(int grade, int size, qreal devicePixelRatio) {
  grade = std::clamp(grade, 0, kAccuracyFaces - 1);
  QPixmap pixmap = Transparent(size, devicePixelRatio);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 20-unit square and scaled, so the strokes keep their weight at every size.
  painter.scale(size / 20.0, size / 20.0);
  const QColor ink(40, 30, 20);
  painter.setPen(QPen(ink, 1.2));
  painter.setBrush(AccuracyFaceColour(grade));
  painter.drawEllipse(QRectF(1.0, 1.0, 18.0, 18.0));

  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  painter.drawEllipse(QPointF(7.0, 7.8), 1.4, 1.6);
  painter.drawEllipse(QPointF(13.0, 7.8), 1.4, 1.6);

  // The mouth: its ends rise and its middle falls as the grade rises; 5 is a straight line.
  const double bend = (grade - 5) / 5.0;
  const double ends = 13.0 - 1.5 * bend;
  QPainterPath mouth(QPointF(5.5, ends));
  mouth.quadTo(QPointF(10.0, ends + 6.0 * bend), QPointF(14.5, ends));
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
  painter.drawPath(mouth);
  // The worst grades frown with their brows too.
  if (grade <= 2) {
    painter.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5.0, 4.6), QPointF(8.6, 5.8));
    painter.drawLine(QPointF(15.0, 4.6), QPointF(11.4, 5.8));
  }
  return pixmap;
}

QPixmap ClickAndHoldPicture(int size, qreal devicePixelRatio) {
  QPixmap pixmap = Transparent(size, devicePixelRatio);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 24.0, size / 24.0);
  const QColor ink(60, 60, 60);
  const int grades[3] = {0, 5, 10};
  for (int i = 0; i < 3; ++i) {
    painter.setPen(QPen(ink, 0.8));
    painter.setBrush(AccuracyFaceColour(grades[i]));
    painter.drawEllipse(QRectF(1.5 + 7.5 * i, 2.0, 6.0, 6.0));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  QPainterPath arrow;
  arrow.moveTo(7.0, 12.0);
  arrow.lineTo(17.0, 12.0);
  arrow.lineTo(12.0, 21.0);
  arrow.closeSubpath();
  painter.drawPath(arrow);
  return pixmap;
}

} // namespace pelorin
