#pragma once

#include <QWidget>

class QLabel;

namespace pelorin {

class SolvePage;

/// The Solve page: the solution method and the verbal description (the method dialog, Solve and the error
/// log join it with the simulation pages).
class SolvePageWidget : public QWidget {
  Q_OBJECT
public:
  explicit SolvePageWidget(QWidget* parent = nullptr);

  void Refresh(const SolvePage& page);

  QLabel* MethodLabel() const { return method_; }
  QLabel* DescriptionLabel() const { return description_; }

private:
  QLabel* method_;
  QLabel* description_;
};

} // namespace pelorin
