#pragma once

#include <QWidget>

class QToolButton;

namespace pelorin {

/// A small button with an up half and a down half (the Results page's size buttons).
class UpDownButton : public QWidget {
  Q_OBJECT
public:
  /// `name` names the button and its halves (name + "Up", name + "Down"); `hint` is shown over both.
  UpDownButton(const QString& name, const QString& hint, QWidget* parent = nullptr);

  QToolButton* Up() const { return up_; }
  QToolButton* Down() const { return down_; }

Q_SIGNALS:
  /// +1 for the up half, -1 for the down half.
  void Stepped(int step);

private:
  QToolButton* up_;
  QToolButton* down_;
};

} // namespace pelorin
