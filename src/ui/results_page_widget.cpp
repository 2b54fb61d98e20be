#include "ui/results_page_widget.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pelorin {

ResultsPageWidget::ResultsPageWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ResultsTabSheet"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Results"), this));
  layout->addStretch(1);
}

} // namespace pelorin
