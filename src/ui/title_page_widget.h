#pragma once

#include <QWidget>
#include <array>

class QLabel;

namespace pelorin {

struct TitlePageState;

/// The Title page: the program's title, what it does and two credit lines; its heading only in developer
/// mode.
class TitlePageWidget : public QWidget {
  Q_OBJECT
public:
  explicit TitlePageWidget(QWidget* parent = nullptr);

  void Refresh(const TitlePageState& page);
  /// Sizes the labels' fonts from the font unit: the title 5 units high, the line below it 7/13 of that,
  /// the credit lines 1.25 units.
  void SetSizes(int fontUnit);

  QLabel* Heading() const { return heading_; }
  QLabel* Label(int index) const { return labels_[static_cast<std::size_t>(index)]; }

private:
  QLabel* heading_;
  std::array<QLabel*, 4> labels_{};
  int fontUnit_ = 0;
};

} // namespace pelorin
