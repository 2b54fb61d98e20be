#pragma once

#include "shell/captions.h"

#include <QPixmap>
#include <QWidget>
#include <array>
#include <string>

class QLabel;

namespace pelorin {

struct PicturePage;

/// The Picture page: the model's picture with the four captions of its caption file, on the file's
/// background colour. The picture fills the room the captions leave when the model asks for a big picture;
/// otherwise it keeps its own size unless the page is too small for it.
class PicturePageWidget : public QWidget {
  Q_OBJECT
public:
  explicit PicturePageWidget(QWidget* parent = nullptr);

  /// Shows the page as the core set it up (the picture is read again only when its file changes).
  void Refresh(const PicturePage& page);
  /// Sizes the captions' fonts for a screen `screenHeight` pixels high.
  void SetSizes(int screenHeight);

  /// The picture as read (null when there is none).
  const QPixmap& Picture() const { return picture_; }
  QLabel* Caption(int index) const { return captions_[static_cast<std::size_t>(index)]; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  class PictureView;
  PictureView* view_;
  std::array<QLabel*, 4> captions_{};
  ModelCaptions shownCaptions_;
  bool shown_ = false;
  bool fillsPage_ = false;
  int screenHeight_ = 0;
  std::string pictureFile_;
  QPixmap picture_;
  QColor background_;
};

} // namespace pelorin
