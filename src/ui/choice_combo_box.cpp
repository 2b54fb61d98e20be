#include "ui/choice_combo_box.h"

#include "simspec/shocks_page.h"
#include "ui/qt_text.h"

#include <QSignalBlocker>

namespace pelorin {

ChoiceComboBox::ChoiceComboBox(QWidget* parent) : QComboBox(parent) {
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(8);
  setMaxVisibleItems(16);
}

void ChoiceComboBox::Mirror(const std::vector<std::string>& texts, int selected) {
  const QSignalBlocker blocker(this);
  if (texts != shown_) {
    shown_ = texts;
    clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
      items << ToQString(text);
    }
    addItems(items);
  }
  if (currentIndex() != selected) {
    setCurrentIndex(selected);
  }
}

void ChoiceComboBox::Mirror(const std::vector<ChoiceEntry>& entries, int selected) {
  std::vector<std::string> texts;
  texts.reserve(entries.size());
  for (const ChoiceEntry& entry : entries) {
    texts.push_back(entry.text);
  }
  Mirror(texts, selected);
}

void ChoiceComboBox::Mirror(const DimensionChoice& choice) {
  Mirror(choice.entries, choice.selected);
  setVisible(choice.visible);
}

void ChoiceComboBox::showPopup() {
  if (beforePopup && !beforePopup()) {
    return;
  }
  QComboBox::showPopup();
}

} // namespace pelorin
