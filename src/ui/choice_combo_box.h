#pragma once

#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

namespace pelorin {

struct ChoiceEntry;
struct DimensionChoice;

/// A drop-down list that mirrors one of the core's choices: its entries are refilled only when they change,
/// and setting them never reports a change of its own. Opening the list first asks `beforePopup`, which may
/// keep it closed (the core moved elsewhere meanwhile).
class ChoiceComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit ChoiceComboBox(QWidget* parent = nullptr);

  /// Shows `texts` with entry `selected` chosen (-1: none).
  void Mirror(const std::vector<std::string>& texts, int selected);
  void Mirror(const std::vector<ChoiceEntry>& entries, int selected);
  /// Shows a dimension choice: its entries, its selection and whether it is shown.
  void Mirror(const DimensionChoice& choice);

  /// Runs before the list opens; false keeps it closed.
  std::function<bool()> beforePopup;

  void showPopup() override;

private:
  std::vector<std::string> shown_;
};

} // namespace pelorin
