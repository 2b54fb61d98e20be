#include "ui/up_down_button.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace pelorin {

namespace {

QToolButton* Half(const QString& name, const QString& hint, Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setArrowType(arrow);
  button->setAutoRaise(false);
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  return button;
}

} // namespace

UpDownButton::UpDownButton(const QString& name, const QString& hint, QWidget* parent)
    : QWidget(parent), up_(Half(name + QStringLiteral("Up"), hint, Qt::UpArrow, this)),
      down_(Half(name + QStringLiteral("Down"), hint, Qt::DownArrow, this)) {
  setObjectName(name);
  setToolTip(hint);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, [this] { Q_EMIT Stepped(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Q_EMIT Stepped(-1); });
}

} // namespace pelorin
