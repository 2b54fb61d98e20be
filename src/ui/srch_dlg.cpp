#include "ui/srch_dlg.h"

#include "tools/text_search.h"
#include "ui/qt_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pelorin {

TSrchDlg1::TSrchDlg1(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TSrchDlg1"));
  auto* texts = new QGridLayout;
  auto* findLabel = new QLabel(QStringLiteral("&Text to find:"));
  findEdit_ = new QLineEdit;
  findEdit_->setObjectName(QStringLiteral("FindEdit"));
  findLabel->setBuddy(findEdit_);
  replaceLabel_ = new QLabel(QStringLiteral("Replace with:"));
  replaceEdit_ = new QLineEdit;
  replaceEdit_->setObjectName(QStringLiteral("ReplaceEdit"));
  replaceLabel_->setBuddy(replaceEdit_);
  texts->addWidget(findLabel, 0, 0);
  texts->addWidget(findEdit_, 0, 1);
  texts->addWidget(replaceLabel_, 1, 0);
  texts->addWidget(replaceEdit_, 1, 1);
  texts->setColumnMinimumWidth(1, 24 * fontMetrics().averageCharWidth());

  auto* options = new QGroupBox(QStringLiteral("Options"));
  auto* optionsLayout = new QVBoxLayout(options);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"));
  wholeWord_ = new QCheckBox(QStringLiteral("Whole w&ord"));
  promptOnReplace_ = new QCheckBox(QStringLiteral("&Prompt on replace"));
  replaceAll_ = new QCheckBox(QStringLiteral("Replace &all"));
  for (QCheckBox* box : {matchCase_, wholeWord_, promptOnReplace_, replaceAll_}) {
    optionsLayout->addWidget(box);
  }
  optionsLayout->addStretch();

  auto* direction = new QGroupBox(QStringLiteral("Direction"));
  auto* directionLayout = new QVBoxLayout(direction);
  up_ = new QRadioButton(QStringLiteral("&Up"));
  down_ = new QRadioButton(QStringLiteral("&Down"));
  directionLayout->addWidget(up_);
  directionLayout->addWidget(down_);
  directionLayout->addStretch();

  auto* groups = new QHBoxLayout;
  groups->addWidget(options, 1);
  groups->addWidget(direction, 1);

  auto* buttons = new QDialogButtonBox;
  search_ = buttons->addButton(QStringLiteral("Search"), QDialogButtonBox::AcceptRole);
  cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
  search_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(texts);
  layout->addLayout(groups);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TSrchDlg1::Execute(SearchState& state, bool replace) {
  setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
  replaceLabel_->setVisible(replace);
  replaceEdit_->setVisible(replace);
  promptOnReplace_->setVisible(replace);
  replaceAll_->setVisible(replace);
  findEdit_->setText(ToQString(state.findText));
  replaceEdit_->setText(ToQString(state.replaceText));
  matchCase_->setChecked(state.matchCase);
  wholeWord_->setChecked(state.wholeWord);
  promptOnReplace_->setChecked(state.promptOnReplace);
  replaceAll_->setChecked(state.replaceAll);
  (state.up ? up_ : down_)->setChecked(true);
  findEdit_->selectAll();
  findEdit_->setFocus();
  if (exec() != QDialog::Accepted) {
    return false;
  }
  state.findText = ToStdString(findEdit_->text());
  state.matchCase = matchCase_->isChecked();
  state.wholeWord = wholeWord_->isChecked();
  state.up = up_->isChecked();
  if (replace) {
    state.replaceText = ToStdString(replaceEdit_->text());
    state.promptOnReplace = promptOnReplace_->isChecked();
    state.replaceAll = replaceAll_->isChecked();
  }
  return true;
}

} // namespace pelorin
