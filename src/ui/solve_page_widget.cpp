#include "ui/solve_page_widget.h"

#include "model/model_set_up.h"
#include "simspec/solve_method_dialog.h"
#include "simspec/solve_page.h"
#include "ui/qt_text.h"
#include "ui/solve_method_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelorin {

SolvePageWidget::SolvePageWidget(SolvePage& page, ModelSetUp& model, QtUserInterface& ui, QWidget* parent)
    : QWidget(parent), page_(page), model_(model), ui_(ui), method_(new QLabel(this)),
      change_(new QPushButton(QStringLiteral("Change"), this)), description_(new QLineEdit(this)),
      solve_(new QPushButton(QStringLiteral("Solve"), this)),
      lookAtCmf_(new QPushButton(QStringLiteral("Look at CMF File"), this)),
      errorLogLabel_(new QLabel(QStringLiteral("Error Log"), this)), errorLog_(new QPlainTextEdit(this)),
      hideErrorLog_(new QPushButton(QStringLiteral("Hide Error Log"), this)), errorLogView_(errorLog_) {
  setObjectName(QStringLiteral("SolveTabSheet"));
  method_->setObjectName(QStringLiteral("MethodLabel"));
  method_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  method_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  change_->setObjectName(QStringLiteral("ChangeMethodButton"));
  description_->setObjectName(QStringLiteral("VerbalDescriptionEdit"));
  solve_->setObjectName(QStringLiteral("SolveButton"));
  lookAtCmf_->setObjectName(QStringLiteral("LookAtCMFFileButton"));
  errorLogLabel_->setObjectName(QStringLiteral("ErrorLogLabel"));
  errorLog_->setObjectName(QStringLiteral("SolveErrorLogMemo"));
  errorLog_->setReadOnly(true);
  errorLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
  UseLogFont(errorLog_);
  hideErrorLog_->setObjectName(QStringLiteral("HideSolveErrorLogButton"));
  QFont bold = errorLogLabel_->font();
  bold.setBold(true);
  errorLogLabel_->setFont(bold);
  QFont big = solve_->font();
  big.setBold(true);
  solve_->setFont(big);
  solve_->setMinimumWidth(solve_->sizeHint().width() * 2);

  auto* methodCaption = new QLabel(QStringLiteral("Solution method:"), this);
  auto* descriptionCaption = new QLabel(QStringLiteral("Verbal description:"), this);
  descriptionCaption->setBuddy(description_);
  auto* form = new QGridLayout;
  form->addWidget(methodCaption, 0, 0);
  form->addWidget(method_, 0, 1);
  form->addWidget(change_, 0, 2);
  form->addWidget(descriptionCaption, 1, 0);
  form->addWidget(description_, 1, 1, 1, 2);
  form->setColumnStretch(1, 1);
  auto* actions = new QHBoxLayout;
  actions->addWidget(solve_);
  actions->addStretch(1);
  actions->addWidget(lookAtCmf_);
  auto* logRow = new QHBoxLayout;
  logRow->addWidget(errorLogLabel_);
  logRow->addStretch(1);
  logRow->addWidget(hideErrorLog_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addLayout(actions);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addLayout(logRow);
  layout->addWidget(errorLog_, 1);
  layout->addStretch(0);

  connect(change_, &QPushButton::clicked, this, &SolvePageWidget::ChangeMethodButtonClick);
  connect(description_, &QLineEdit::textEdited, this,
          [this](const QString& text) { page_.VerbalDescription = ToStdString(text); });
  connect(solve_, &QPushButton::clicked, this, &SolvePageWidget::SolveRequested);
  connect(lookAtCmf_, &QPushButton::clicked, this, [this] {
    model_.LookAtCMFFileButtonClick();
    Q_EMIT Changed();
  });
  connect(hideErrorLog_, &QPushButton::clicked, this, [this] {
    page_.HideErrorLogButtonClick();
    Q_EMIT Changed();
  });
}

void SolvePageWidget::ChangeMethodButtonClick() {
  const std::unique_ptr<TSolveMethodDlg> dialog = page_.ChangeMethodButtonClick();
  SolveMethodWindow window(*dialog, ui_, this);
  const bool accepted = window.exec() == QDialog::Accepted;
  page_.MethodDialogClosed(accepted && dialog->Changed());
  Q_EMIT Changed();
}

void SolvePageWidget::Refresh() {
  method_->setText(ToQString(page_.MethodLabel));
  if (description_->text() != ToQString(page_.VerbalDescription)) {
    description_->setText(ToQString(page_.VerbalDescription));
    description_->setCursorPosition(0); // a description wider than the box is read from its start
  }
  lookAtCmf_->setVisible(page_.LookAtCmfVisible);
  errorLogLabel_->setVisible(page_.ErrorLogVisible);
  errorLog_->setVisible(page_.ErrorLogVisible);
  hideErrorLog_->setVisible(page_.ErrorLogVisible);
  if (page_.ErrorLogVisible) {
    errorLogView_.Show(page_.ErrorLog, page_.ErrorLogSelStart, page_.ErrorLogSelLength);
  }
}

} // namespace pelorin
