#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTabBar;

namespace pelorin {

class AccSummaryDialog;

/// The accuracy summary dialog: one summary at a time as a bar chart of how many results agree to 0 to 6
/// figures, the "Variables" and "Data" selector, the list of summaries with their accuracy faces, and a
/// legend of the faces shown while "Click and hold" is held. Every choice goes to the core's dialog logic;
/// Refresh() then shows its state.
class TAccSummaryDlg : public QDialog {
  Q_OBJECT
public:
  /// `help` opens the dialog's help.
  TAccSummaryDlg(AccSummaryDialog& logic, std::function<void()> help, QWidget* parent = nullptr);

  /// Shows the core's state: caption, bars, side, list choice and heights.
  void Refresh();

  QTabBar* Selector() const { return selector_; }
  QListWidget* SummaryList() const { return list_; }
  QLabel* ClickAndHold() const { return hold_; }
  QWidget* Chart() const { return chart_; }
  QWidget* Strip() const { return strip_; }
  QWidget* Legend() const { return legend_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* HelpButton() const { return help_; }
  /// Where bar k (0..6 figures) is drawn in the chart.
  QRect BarRect(int k) const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  AccSummaryDialog& logic_;
  QWidget* chart_;
  QWidget* strip_;
  QTabBar* selector_;
  QLabel* hold_;
  QListWidget* list_;
  QWidget* legend_;
  QPushButton* ok_;
  QPushButton* help_;
};

} // namespace pelorin
