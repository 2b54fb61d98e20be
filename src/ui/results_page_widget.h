#pragma once

#include <QWidget>

class QLabel;

namespace pelorin {

/// The Results page: the tables of the last solve (the grid and its controls join it with the results
/// logic).
class ResultsPageWidget : public QWidget {
  Q_OBJECT
public:
  explicit ResultsPageWidget(QWidget* parent = nullptr);
};

} // namespace pelorin
