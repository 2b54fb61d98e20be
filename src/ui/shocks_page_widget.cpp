#include "ui/shocks_page_widget.h"

#include "simspec/shocks_page.h"
#include "simspec/subtotal_dialog.h"
#include "ui/choice_combo_box.h"
#include "ui/page_text_mirror.h"
#include "ui/qt_text.h"
#include "ui/subtotal_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelorin {

ShockValueEdit::ShockValueEdit(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(14);
}

void ShockValueEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  // Keys without a character (arrows, shortcuts) and control characters are the box's own business.
  if (keyFilter && text.size() == 1 && text.front().unicode() >= 32 &&
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
    const std::string typed = ToStdString(text);
    const char kept = keyFilter(typed.front());
    if (kept == 0) {
      event->accept();
      return;
    }
    if (kept != typed.front() || typed.size() != 1) {
      insert(QString(QLatin1Char(kept)));
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

ShocksPageWidget::ShocksPageWidget(ShocksPage& page, QtUserInterface& ui, QWidget* parent)
    : QWidget(parent), page_(page), ui_(ui), variable_(new ChoiceComboBox(this)),
      elements_(new QGroupBox(QStringLiteral("Elements to Shock"), this)),
      valueLabel_(new QLabel(QStringLiteral("Value of Shock"), this)), value_(new ShockValueEdit(this)),
      typeLabel_(new QLabel(QStringLiteral("Type of Shock"), this)), type_(new ChoiceComboBox(this)),
      description_(new QLabel(this)), dimensions_(new QLabel(this)), preview_(new QLabel(this)),
      commaNote_(new QLabel(ToQString(ShocksPage::kDecimalCommaNote), this)), text_(new QPlainTextEdit(this)),
      add_(new QPushButton(QStringLiteral("Add to Shock List"), this)),
      clear_(new QPushButton(QStringLiteral("Clear Shock List"), this)),
      save_(new QPushButton(QStringLiteral("Save File of Shocks"), this)),
      load_(new QPushButton(QStringLiteral("Load File of Shocks"), this)),
      subtotal_(new QPushButton(QStringLiteral("Define Subtotal"), this)), textMirror_(text_, true) {
  setObjectName(QStringLiteral("ShocksTabSheet"));
  variable_->setObjectName(QStringLiteral("ExoVarComboBox"));
  variable_->setMinimumContentsLength(12);
  elements_->setObjectName(QStringLiteral("ElementsGroup"));
  valueLabel_->setObjectName(QStringLiteral("ShockValueLabel"));
  value_->setObjectName(QStringLiteral("ShockValueEdit"));
  valueLabel_->setBuddy(value_);
  typeLabel_->setObjectName(QStringLiteral("ShockTypeLabel"));
  type_->setObjectName(QStringLiteral("ShockTypeComboBox"));
  description_->setObjectName(QStringLiteral("VarDescriptionLabel"));
  description_->setWordWrap(true);
  dimensions_->setObjectName(QStringLiteral("DimensionsLabel"));
  preview_->setObjectName(QStringLiteral("ShockLineLabel"));
  preview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  preview_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  commaNote_->setObjectName(QStringLiteral("DecimalCommaLabel"));
  text_->setObjectName(QStringLiteral("ShockMemo"));
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  add_->setObjectName(QStringLiteral("AddShockButton"));
  clear_->setObjectName(QStringLiteral("ClearShocksButton"));
  save_->setObjectName(QStringLiteral("SaveShockFileButton"));
  load_->setObjectName(QStringLiteral("LoadShockFileButton"));
  subtotal_->setObjectName(QStringLiteral("DefineSubtotalBtn1"));

  auto* variableGroup = new QGroupBox(QStringLiteral("Variable to Shock"), this);
  variableGroup->setObjectName(QStringLiteral("VariableGroup"));
  auto* variableBox = new QHBoxLayout(variableGroup);
  variableBox->addWidget(variable_);
  auto* elementsBox = new QHBoxLayout(elements_);
  for (std::size_t i = 0; i < dims_.size(); ++i) {
    dims_[i] = new ChoiceComboBox(elements_);
    dims_[i]->setObjectName(QStringLiteral("ExoDimCombo%1").arg(i + 1));
    elementsBox->addWidget(dims_[i], 1);
  }
  elementsBox->addStretch(0);

  auto* choices = new QHBoxLayout;
  choices->addWidget(variableGroup, 2);
  choices->addWidget(elements_, 5);
  auto* about = new QHBoxLayout;
  about->addWidget(description_, 3);
  about->addWidget(dimensions_, 2);
  auto* valueRow = new QHBoxLayout;
  valueRow->addWidget(valueLabel_);
  valueRow->addWidget(value_);
  valueRow->addWidget(typeLabel_);
  valueRow->addWidget(type_);
  valueRow->addWidget(preview_, 1);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {add_, clear_, save_, load_, subtotal_}) {
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* list = new QHBoxLayout;
  list->addWidget(text_, 1);
  list->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addLayout(about);
  layout->addLayout(valueRow);
  layout->addWidget(commaNote_);
  layout->addLayout(list, 1);
  // Room for the preview's line even while it is empty.
  preview_->setMinimumHeight(preview_->sizeHint().height() + fontMetrics().height());
  value_->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 16);

  const auto changed = [this] { Q_EMIT Changed(); };
  connect(variable_, &QComboBox::currentIndexChanged, this, [this, changed](int index) {
    page_.ExoVarComboBoxChange(index);
    changed();
  });
  variable_->beforePopup = [this] {
    Forward(&ShocksPage::ExoVarComboBoxDropDown);
    return variable_->isVisible();
  };
  for (int i = 0; i < 3; ++i) {
    ChoiceComboBox* dim = dims_[static_cast<std::size_t>(i)];
    connect(dim, &QComboBox::currentIndexChanged, this, [this, i, changed](int index) {
      page_.ExoDimCombo1Change(i, index);
      changed();
    });
    dim->beforePopup = [this, i, dim] {
      PushEdits();
      page_.ExoDimCombo1DropDown(i);
      Q_EMIT Changed();
      // A question may have moved to the Closure page meanwhile.
      return dim->isVisible();
    };
  }
  value_->keyFilter = [this](char key) { return page_.ShockValueEditKeyPress(key); };
  connect(value_, &QLineEdit::textEdited, this, [this, changed](const QString& text) {
    page_.ShockValueChange(ToStdString(text));
    changed();
  });
  connect(type_, &QComboBox::currentIndexChanged, this, [this, changed](int index) {
    page_.ShockTypeChange(index);
    changed();
  });
  connect(add_, &QPushButton::clicked, this, [this] { Forward(&ShocksPage::AddShockButtonClick); });
  connect(clear_, &QPushButton::clicked, this, [this] { Forward(&ShocksPage::ClearShocksButtonClick); });
  connect(save_, &QPushButton::clicked, this, [this] { Forward(&ShocksPage::SaveShockFileButtonClick); });
  connect(load_, &QPushButton::clicked, this, [this] { Forward(&ShocksPage::LoadShockFileButtonClick); });
  connect(subtotal_, &QPushButton::clicked, this, &ShocksPageWidget::DefineSubtotalBtn1Click);
}

template <typename Routine> void ShocksPageWidget::Forward(Routine routine) {
  PushEdits();
  (page_.*routine)();
  Q_EMIT Changed();
}

void ShocksPageWidget::DefineSubtotalBtn1Click() {
  PushEdits();
  const std::unique_ptr<TSubtForm> form = page_.DefineSubtotalBtn1Click();
  SubtotalWindow window(*form, ui_, this);
  if (window.exec() == QDialog::Accepted) {
    page_.AppendSubtotal(form->SubtotalLines);
  }
  Q_EMIT Changed();
}

void ShocksPageWidget::PushEdits() {
  textMirror_.Push(page_.Lines, page_.Modified, page_.Selection);
}

void ShocksPageWidget::Refresh() {
  variable_->Mirror(page_.VarChoices, page_.VarSelected);
  for (std::size_t i = 0; i < dims_.size(); ++i) {
    dims_[i]->Mirror(page_.Dims[i]);
  }
  elements_->setVisible(page_.ElementsVisible);
  valueLabel_->setVisible(page_.ValueVisible);
  value_->setVisible(page_.ValueVisible);
  if (value_->text() != ToQString(page_.Value)) {
    value_->setText(ToQString(page_.Value));
  }
  if (page_.ValueFocus) {
    page_.ValueFocus = false;
    value_->setFocus();
    value_->selectAll();
  }
  type_->Mirror(page_.Types, page_.TypeSelected);
  typeLabel_->setVisible(page_.TypeVisible);
  type_->setVisible(page_.TypeVisible);
  preview_->setText(ToQString(page_.Preview));
  description_->setText(ToQString(page_.Description));
  dimensions_->setText(ToQString(page_.DimensionsText));
  commaNote_->setVisible(page_.DecimalComma);

  textMirror_.Show(page_.Lines, page_.Selection);
}

} // namespace pelorin
