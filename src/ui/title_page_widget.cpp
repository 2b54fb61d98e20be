#include "ui/title_page_widget.h"

#include "app/main_window_state.h"
#include "ui/qt_text.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pelorin {

TitlePageWidget::TitlePageWidget(QWidget* parent) : QWidget(parent), heading_(new QLabel(this)) {
  setObjectName(QStringLiteral("TitleTabSheet"));
  heading_->setObjectName(QStringLiteral("TitleHeading"));
  heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  static const Qt::GlobalColor kColours[] = {Qt::blue, Qt::blue, Qt::darkGreen, Qt::black};
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addStretch(2);
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    labels_[i] = new QLabel(this);
    labels_[i]->setObjectName(QStringLiteral("IntroLabel%1").arg(i + 1));
    labels_[i]->setAlignment(Qt::AlignCenter);
    labels_[i]->setWordWrap(true);
    QPalette colours = labels_[i]->palette();
    colours.setColor(QPalette::WindowText, kColours[i]);
    labels_[i]->setPalette(colours);
    layout->addWidget(labels_[i]);
    if (i == 1) {
      layout->addStretch(1);
    }
  }
  layout->addStretch(3);
}

void TitlePageWidget::Refresh(const TitlePageState& page) {
  labels_[0]->setText(ToQString(page.IntroLabel1));
  labels_[1]->setText(ToQString(page.IntroLabel2));
  labels_[2]->setText(ToQString(page.IntroLabel3));
  labels_[3]->setText(ToQString(page.IntroLabel4));
  heading_->setText(ToQString(page.Heading));
  heading_->setVisible(page.headingVisible);
}

void TitlePageWidget::SetSizes(int fontUnit) {
  if (fontUnit == fontUnit_) {
    return;
  }
  fontUnit_ = fontUnit;
  const int sizes[] = {5 * fontUnit, 5 * fontUnit * 7 / 13, 5 * fontUnit / 4, 5 * fontUnit / 4};
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    QFont font = labels_[i]->font();
    font.setPixelSize(std::max(sizes[i], 1));
    font.setBold(i < 2);
    labels_[i]->setFont(font);
  }
}

} // namespace pelorin
