#include "ui/cust_chus_form.h"

#include "shell/catalogue.h"
#include "ui/qt_text.h"

#include <QButtonGroup>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace pelorin {

TCustChusForm::TCustChusForm(const std::vector<std::string>& items, int preselected, QWidget* parent)
    : QDialog(parent), buttons_(new QButtonGroup(this)), group_(new QGroupBox(this)),
      okButton_(new QPushButton(QString::fromLatin1(kChooserOk), this)),
      intro_(new QLabel(QString::fromLatin1(kChooserText), this)),
      note_(new QLabel(QString::fromLatin1(kChooserNote), this)) {
  setObjectName(QStringLiteral("TCustChusForm"));
  setWindowTitle(QString::fromLatin1(kChooserCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  // The group's caption keeps its blanks: they set it off from the frame.
  group_->setTitle(QString::fromLatin1(kChooserGroup));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  const int unit = QFontInfo(font()).pixelSize();
  const int margin = unit;
  int widest = intro_->sizeHint().width();
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(ToQString(items[i]), group_);
    buttons_->addButton(button, static_cast<int>(i));
    widest = std::max(widest, button->sizeHint().width() + 2 * unit);
  }
  SetChosenIndex(preselected);

  // The group grows by one and a half lines per model; "Ok" and the note follow below it.
  const int groupTop = margin + intro_->sizeHint().height() + unit / 2;
  const int buttonHeight = okButton_->sizeHint().height();
  const ChooserLayout layout = ChooserGeometry(unit, static_cast<int>(items.size()), groupTop, buttonHeight);
  const int width =
      std::max(widest, note_->sizeHint().width() + okButton_->sizeHint().width() + unit) + 2 * unit;
  intro_->setGeometry(margin, margin, width - 2 * unit, intro_->sizeHint().height());
  group_->setGeometry(margin, groupTop, width - 2 * unit, layout.groupHeight);
  const int rowHeight = items.empty() ? 0 : (layout.groupHeight - 2 * unit) / static_cast<int>(items.size());
  for (QAbstractButton* button : buttons_->buttons()) {
    const int row = buttons_->id(button);
    button->setGeometry(unit, unit + unit / 2 + row * rowHeight, width - 4 * unit, rowHeight);
  }
  okButton_->setGeometry(margin, layout.buttonTop, okButton_->sizeHint().width(), buttonHeight);
  note_->setGeometry(margin + okButton_->sizeHint().width() + unit, layout.noteTop, note_->sizeHint().width(),
                     note_->sizeHint().height());
  setFixedSize(width, layout.clientHeight + margin / 2);
}

int TCustChusForm::ChosenIndex() const {
  return buttons_->checkedId();
}

void TCustChusForm::SetChosenIndex(int index) {
  if (QAbstractButton* button = buttons_->button(index)) {
    button->setChecked(true);
    button->setFocus();
  }
}

} // namespace pelorin
