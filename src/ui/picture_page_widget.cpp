#include "ui/picture_page_widget.h"

#include "shell/catalogue.h"
#include "ui/qt_text.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace pelorin {

// Draws the picture centred, scaled down to the room it has (or up to fill it, for a big picture), keeping
// its proportions.
class PicturePageWidget::PictureView : public QWidget {
public:
  explicit PictureView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setObjectName(QStringLiteral("PictureView"));
  }
  void SetPicture(const QPixmap* picture, bool fill) {
    picture_ = picture;
    fill_ = fill;
    updateGeometry();
    update();
  }
  QSize sizeHint() const override { return picture_ != nullptr ? picture_->size() : QSize(0, 0); }
  QSize minimumSizeHint() const override { return QSize(0, 0); }

protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_ == nullptr || picture_->isNull()) {
      return;
    }
    QSize size = picture_->size();
    if (fill_ || size.width() > width() || size.height() > height()) {
      size.scale(this->size(), Qt::KeepAspectRatio);
    }
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, *picture_);
  }

private:
  const QPixmap* picture_ = nullptr;
  bool fill_ = false;
};

PicturePageWidget::PicturePageWidget(QWidget* parent) : QWidget(parent), view_(new PictureView(this)) {
  setObjectName(QStringLiteral("PictureTabSheet"));
  auto* layout = new QVBoxLayout(this);
  for (std::size_t i = 0; i < captions_.size(); ++i) {
    captions_[i] = new QLabel(this);
    captions_[i]->setObjectName(QStringLiteral("PictureLabel%1").arg(i + 1));
    captions_[i]->setAlignment(Qt::AlignCenter);
    captions_[i]->setWordWrap(true);
  }
  layout->addWidget(captions_[0]);
  layout->addWidget(view_, 1);
  for (std::size_t i = 1; i < captions_.size(); ++i) {
    layout->addWidget(captions_[i]);
  }
}

void PicturePageWidget::Refresh(const PicturePage& page) {
  if (shown_ && page.pictureFile == pictureFile_ && page.fillsPage == fillsPage_ &&
      page.captions == shownCaptions_) {
    return;
  }
  shown_ = true;
  if (page.pictureFile != pictureFile_) {
    pictureFile_ = page.pictureFile;
    picture_ = QPixmap();
    if (!pictureFile_.empty()) {
      // Named as a bitmap: read as one without asking every image reader first; anything else by its content.
      const QString file = ToQString(pictureFile_);
      if (!picture_.load(file, "BMP")) {
        picture_.load(file);
      }
    }
  }
  fillsPage_ = page.fillsPage;
  view_->SetPicture(&picture_, fillsPage_);
  shownCaptions_ = page.captions;
  background_ = ToQColor(page.captions.background);
  for (std::size_t i = 0; i < captions_.size(); ++i) {
    const CaptionRecord& record = page.captions.records[i];
    captions_[i]->setText(ToQString(record.text));
    captions_[i]->setVisible(record.read && !record.text.empty());
    QPalette colours = captions_[i]->palette();
    colours.setColor(QPalette::WindowText, ToQColor(record.colour));
    captions_[i]->setPalette(colours);
  }
  screenHeight_ = 0;
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  SetSizes(screen != nullptr ? screen->geometry().height() : 768);
  update();
}

void PicturePageWidget::SetSizes(int screenHeight) {
  if (screenHeight == screenHeight_) {
    return;
  }
  screenHeight_ = screenHeight;
  for (std::size_t i = 0; i < captions_.size(); ++i) {
    const int fontHeight = CaptionFontHeight(screenHeight, shownCaptions_.records[i].size);
    QFont font = captions_[i]->font();
    font.setBold(true);
    if (fontHeight > 0) {
      font.setPixelSize(fontHeight);
    }
    captions_[i]->setFont(font);
    captions_[i]->setMinimumHeight(
        CaptionLabelHeight(fontHeight > 0 ? fontHeight : QFontInfo(font).pixelSize()));
  }
}

void PicturePageWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), background_);
}

} // namespace pelorin
