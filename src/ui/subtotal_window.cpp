#include "ui/subtotal_window.h"

#include "simspec/simulation_context.h"
#include "simspec/subtotal_dialog.h"
#include "ui/choice_combo_box.h"
#include "ui/qt_text.h"
#include "ui/qt_user_interface.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pelorin {

SubtotalWindow::SubtotalWindow(TSubtForm& form, QtUserInterface& ui, QWidget* parent)
    : QDialog(parent), form_(form), ui_(ui), variable_(new ChoiceComboBox(this)),
      elements_(new QGroupBox(QStringLiteral("Select elements"), this)), description_(new QLabel(this)),
      dimensions_(new QLabel(this)), preview_(new QLabel(this)), lines_(new QListWidget(this)),
      add_(new QPushButton(QStringLiteral("Add variable to subtotal"), this)),
      clear_(new QPushButton(QStringLiteral("Clear subtotal"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      help_(new QPushButton(QStringLiteral("Help"), this)) {
  setObjectName(QStringLiteral("TSubtForm"));
  setWindowTitle(QStringLiteral("Specify Subtotal"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  variable_->setObjectName(QStringLiteral("VarCombo"));
  variable_->setMinimumContentsLength(14);
  elements_->setObjectName(QStringLiteral("ElementsGroup"));
  description_->setObjectName(QStringLiteral("VarDescriptionLabel"));
  description_->setWordWrap(true);
  dimensions_->setObjectName(QStringLiteral("DimensionsLabel"));
  preview_->setObjectName(QStringLiteral("PreviewLabel"));
  preview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lines_->setObjectName(QStringLiteral("SubtotalLines"));
  lines_->setSelectionMode(QAbstractItemView::NoSelection);
  lines_->setFocusPolicy(Qt::NoFocus);
  add_->setObjectName(QStringLiteral("AddButton"));
  clear_->setObjectName(QStringLiteral("ClearButton"));
  ok_->setObjectName(QStringLiteral("OkButton"));
  ok_->setDefault(true);
  cancel_->setObjectName(QStringLiteral("CancelButton"));
  help_->setObjectName(QStringLiteral("HelpButton"));

  auto* variableGroup = new QGroupBox(QStringLiteral("Select variable"), this);
  auto* variableBox = new QVBoxLayout(variableGroup);
  variableBox->addWidget(variable_);
  auto* elementsBox = new QHBoxLayout(elements_);
  for (std::size_t i = 0; i < dims_.size(); ++i) {
    dims_[i] = new ChoiceComboBox(elements_);
    dims_[i]->setObjectName(QStringLiteral("DimCombo%1").arg(i + 1));
    elementsBox->addWidget(dims_[i], 1);
  }
  auto* choices = new QHBoxLayout;
  choices->addWidget(variableGroup, 2);
  choices->addWidget(elements_, 4);
  auto* entryButtons = new QHBoxLayout;
  entryButtons->addWidget(add_);
  entryButtons->addWidget(clear_);
  entryButtons->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(help_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addWidget(description_);
  layout->addWidget(dimensions_);
  layout->addWidget(preview_);
  layout->addLayout(entryButtons);
  layout->addWidget(lines_, 1);
  layout->addLayout(buttons);
  const int unit = fontMetrics().height();
  preview_->setMinimumHeight(2 * unit);
  resize(46 * fontMetrics().averageCharWidth(), 22 * unit);

  form_.AskDescription = [this](const std::string& proposal) { return TSbtDescF::Ask(proposal, ui_, this); };
  connect(variable_, &QComboBox::currentIndexChanged, this, [this](int index) {
    form_.VarComboChange(index);
    Refresh();
  });
  for (int i = 0; i < 3; ++i) {
    connect(dims_[static_cast<std::size_t>(i)], &QComboBox::currentIndexChanged, this, [this, i](int index) {
      form_.DimComboChange(i, index);
      Refresh();
    });
  }
  connect(add_, &QPushButton::clicked, this, [this] {
    form_.AddButtonClick();
    Refresh();
  });
  connect(clear_, &QPushButton::clicked, this, [this] {
    form_.ClearButtonClick();
    Refresh();
  });
  connect(ok_, &QPushButton::clicked, this, [this] {
    const bool done = form_.OkButtonClick();
    Refresh();
    if (done) {
      accept();
    }
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(help_, &QPushButton::clicked, this, [this] { ui_.ShowHelpTopic(kHelpSubtotals); });
  Refresh();
}

void SubtotalWindow::Refresh() {
  variable_->Mirror(form_.VarChoices, form_.VarSelected);
  for (std::size_t i = 0; i < dims_.size(); ++i) {
    dims_[i]->Mirror(form_.Dims[i]);
  }
  elements_->setVisible(form_.ElementsVisible);
  description_->setText(ToQString(form_.Description));
  dimensions_->setText(ToQString(form_.DimensionsText));
  preview_->setText(ToQString(form_.Preview));
  if (form_.SubtotalLines != shownLines_) {
    shownLines_ = form_.SubtotalLines;
    lines_->clear();
    for (const std::string& line : form_.SubtotalLines) {
      lines_->addItem(ToQString(line));
    }
    lines_->scrollToBottom();
  }
}

TSbtDescF::TSbtDescF(const QString& proposal, QtUserInterface& ui, QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(proposal, this)), ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("TSbtDescF"));
  setWindowTitle(QStringLiteral("Subtotal Description"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  edit_->setObjectName(QStringLiteral("DescriptionEdit"));
  edit_->setMaxLength(77);
  ok_->setObjectName(QStringLiteral("OkButton"));
  ok_->setDefault(true);
  cancel_->setObjectName(QStringLiteral("CancelButton"));
  cancel_->hide();
  auto* help = new QPushButton(QStringLiteral("Help"), this);
  help->setObjectName(QStringLiteral("HelpButton"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Please specify the Description of this Subtotal."), this));
  layout->addWidget(edit_);
  layout->addLayout(buttons);
  edit_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 62);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [&ui] { ui.ShowHelpTopic(kHelpSubtotals); });
}

std::optional<std::string> TSbtDescF::Ask(const std::string& proposal, QtUserInterface& ui, QWidget* parent) {
  TSbtDescF dialog(ToQString(proposal), ui, parent);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return ToStdString(dialog.edit_->text());
}

} // namespace pelorin
