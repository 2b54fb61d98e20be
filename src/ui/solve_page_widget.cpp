#include "ui/solve_page_widget.h"

#include "simspec/solve_page.h"
#include "ui/qt_text.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace pelorin {

SolvePageWidget::SolvePageWidget(QWidget* parent)
    : QWidget(parent), method_(new QLabel(this)), description_(new QLabel(this)) {
  setObjectName(QStringLiteral("SolveTabSheet"));
  method_->setObjectName(QStringLiteral("MethodLabel"));
  method_->setWordWrap(true);
  description_->setObjectName(QStringLiteral("VerbalDescription"));
  description_->setWordWrap(true);
  description_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Solution method:"), method_);
  form->addRow(QStringLiteral("Verbal description:"), description_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addStretch(1);
}

void SolvePageWidget::Refresh(const SolvePage& page) {
  method_->setText(ToQString(page.MethodLabel));
  description_->setText(ToQString(page.VerbalDescription));
}

} // namespace pelorin
