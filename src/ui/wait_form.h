#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace pelorin {

/// The wait dialog of a running job ("Please Wait - KALVIMO at work"): the job's text, an animation of four
/// images shown in turn, "&Hide" and "&Cancel", and no title-bar buttons. It is a window of its own, so the
/// disabled main window leaves it usable; it cannot be closed except by the job runner.
class TWaitForm : public QWidget {
  Q_OBJECT
public:
  TWaitForm(std::function<void()> hide, std::function<void()> cancel);

  /// Shows the caption and text, with image 1, centred over `over` (when given).
  void Open(const QString& caption, const QString& text, QWidget* over);
  /// Another text and image (1..4).
  void Update(const QString& text, int image);

  QLabel* TextLabel() const { return text_; }
  QLabel* ImageLabel() const { return image_; }
  QPushButton* HideButton() const { return hide_; }
  QPushButton* CancelButton() const { return cancel_; }
  /// The image shown now (1..4).
  int Image() const { return imageNumber_; }

  /// The four images of the animation, drawn once.
  static const std::array<QPixmap, 4>& Images();

protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QLabel* image_;
  QLabel* text_;
  QPushButton* hide_;
  QPushButton* cancel_;
  int imageNumber_ = 1;
};

} // namespace pelorin
