// The accuracy summary dialog's window over the core's logic: captions, bars in the bin colours, the side
// and list rules with their message, and the legend shown while "Click and hold" is held.
#include "results/acc_summary_dialog.h"
#include "results_ui_tests.h"
#include "solved_minimal.h"
#include "ui/acc_summary_dlg.h"
#include "ui/accuracy_faces.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace pelorin {

namespace {

AccHistogram Histogram(std::array<int, 7> counts, int grade) {
  AccHistogram histogram;
  histogram.counts = counts;
  histogram.present = true;
  histogram.grade = grade;
  return histogram;
}

// Three subintervals and an overall summary without a data part; subinterval 2 is worst for the data.
AccSummaryRec ThreeSubintervals() {
  AccSummaryRec record;
  record.numSubintervals = 4;
  record.sub[1] = {Histogram({0, 0, 0, 1, 2, 3, 10}, 8), Histogram({0, 0, 0, 0, 0, 4, 4}, 9)};
  record.sub[2] = {Histogram({0, 0, 1, 1, 2, 3, 5}, 6), Histogram({0, 1, 1, 0, 0, 2, 4}, 5)};
  record.sub[3] = {Histogram({0, 0, 0, 0, 0, 0, 16}, 10), Histogram({0, 0, 0, 0, 0, 0, 8}, 10)};
  record.sub[4] = {Histogram({0, 0, 1, 1, 2, 3, 9}, 7), AccHistogram{}};
  record.overallFound = true;
  record.overallLevelsPos = 4;
  record.overallDataPos = -1;
  record.worstLevels = 2;
  record.worstData = 2;
  return record;
}

QPoint TabCentre(QTabBar* bar, int index) {
  return bar->tabRect(index).center();
}

} // namespace

void AccSummaryDlgTest::initTestCase() {
  std::string failure;
  solved = test::SolvedMinimal::Get(failure);
  QVERIFY2(solved, failure.c_str());
}

void AccSummaryDlgTest::theSolvesSummaryIsDrawnInTheBinColours() {
  QVERIFY(solved->accuracy);
  QCOMPARE(solved->accuracyShown, 1);
  test::ScriptedUserInterface ui;
  AccSummaryDialog logic(*solved->accuracy, ui);
  TAccSummaryDlg dialog(logic, {});
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(dialog.windowTitle(), QString::fromStdString(logic.State().caption));
  QVERIFY(dialog.windowTitle().startsWith(QStringLiteral("Overall Accuracy Summary")));
  QCOMPARE(dialog.size(), QSize(437, 241));
  QCOMPARE(dialog.SummaryList()->count(), logic.Count());
  QCOMPARE(dialog.SummaryList()->currentRow(), logic.Count() - 1);

  // Every bar of a non-zero count is drawn in its bin's colour; the longest is 370 pixels.
  const QImage chart = dialog.Chart()->grab().toImage();
  int longest = 0;
  for (int k = 0; k < 7; ++k) {
    const QRect bar = dialog.BarRect(k);
    longest = std::max(longest, bar.width());
    if (bar.width() > 0) {
      const auto& rgb = kAccBinColours[static_cast<std::size_t>(k)];
      QCOMPARE(chart.pixelColor(bar.center()), QColor(rgb[0], rgb[1], rgb[2]));
    }
  }
  QCOMPARE(longest, 370);
  QVERIFY(dialog.HelpButton()->isVisible());
}

void AccSummaryDlgTest::sideAndListRulesWithTheirMessage() {
  const AccSummaryRec record = ThreeSubintervals();
  test::ScriptedUserInterface ui;
  AccSummaryDialog logic(record, ui);
  int helps = 0;
  TAccSummaryDlg dialog(logic, [&helps] { ++helps; });
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(dialog.windowTitle(),
           QStringLiteral("Overall Accuracy Summary (no corresponding summary for data)"));
  QCOMPARE(dialog.SummaryList()->count(), 4);
  QCOMPARE(dialog.SummaryList()->currentRow(), 3);

  // The Data side while the overall summary has no data part: the worst data subinterval, with a message.
  QTest::mouseClick(dialog.Selector(), Qt::LeftButton, Qt::NoModifier, TabCentre(dialog.Selector(), 1));
  QCOMPARE(ui.Texts(),
           std::vector<std::string>{"The Overall Accuracy Summary does not contain a summary for the "
                                    "data.\r\nWill show the worst subinterval for data accuracy\r\n "
                                    "which is subinterval number 2."});
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Accuracy Summary for Subinterval Number 2: data"));
  QCOMPARE(dialog.SummaryList()->currentRow(), 1);
  QCOMPARE(dialog.Selector()->currentIndex(), 1);
  QCOMPARE(dialog.BarRect(6).width(), 370);
  QCOMPARE(dialog.BarRect(1).width(), 93);

  // Subinterval 3 on the Data side; then the overall summary sends the selector back to "Variables".
  QListWidget* list = dialog.SummaryList();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(2)).center());
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Accuracy Summary for Subinterval Number 3: data"));
  list->scrollToItem(list->item(3));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(3)).center());
  QCOMPARE(dialog.Selector()->currentIndex(), 0);
  QCOMPARE(dialog.windowTitle(),
           QStringLiteral("Overall Accuracy Summary (no corresponding summary for data)"));
  QCOMPARE(ui.messages.size(), std::size_t{1});

  // The list items as drawn: names, grades and " worst".
  QCOMPARE(logic.ItemText(2).variablesText, std::string("6 worst"));
  QCOMPARE(logic.ItemText(4).dataText, std::string("-"));
  QCOMPARE(logic.ItemText(4).dataFace, -1);

  QTest::mouseClick(dialog.HelpButton(), Qt::LeftButton);
  QCOMPARE(helps, 1);
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void AccSummaryDlgTest::clickAndHoldRevealsTheLegend() {
  const AccSummaryRec record = ThreeSubintervals();
  test::ScriptedUserInterface ui;
  AccSummaryDialog logic(record, ui);
  TAccSummaryDlg dialog(logic, {});
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(dialog.ClickAndHold()->toolTip(), QStringLiteral("Click and hold"));
  const QRect legend = dialog.Legend()->geometry();
  QVERIFY(legend.top() >= dialog.Strip()->height());

  QTest::mousePress(dialog.ClickAndHold(), Qt::LeftButton);
  QCOMPARE(dialog.height(), 241 + 55);
  QCOMPARE(dialog.Strip()->height(), 70 + 55);
  QVERIFY(dialog.Strip()->rect().contains(legend));
  // The eleven faces are drawn on the legend.
  const QImage image = dialog.Legend()->grab().toImage();
  int coloured = 0;
  for (int x = 0; x < image.width(); ++x) {
    coloured += image.pixelColor(x, 17) == AccuracyFaceColour(0) ? 1 : 0;
  }
  QVERIFY(coloured > 0);
  QTest::mouseRelease(dialog.ClickAndHold(), Qt::LeftButton);
  QCOMPARE(dialog.height(), 241);
  QCOMPARE(dialog.Strip()->height(), 70);
}

void AccSummaryDlgTest::aSingleSummaryHasABlankNameAndNoWorst() {
  AccSummaryRec record;
  record.numSubintervals = 1;
  record.sub[1] = {Histogram({0, 0, 0, 0, 0, 0, 0}, 0), Histogram({0, 0, 0, 0, 0, 0, 1}, 10)};
  record.worstLevels = 1;
  record.worstData = 1;
  test::ScriptedUserInterface ui;
  AccSummaryDialog logic(record, ui);
  TAccSummaryDlg dialog(logic, {});
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Accuracy Summary for whole simulation: variables"));
  QCOMPARE(logic.ItemText(1).name, std::string(" "));
  QCOMPARE(logic.ItemText(1).variablesText, std::string("0"));
  for (int k = 0; k < 7; ++k) {
    QCOMPARE(dialog.BarRect(k).width(), 0);
  }
  QTest::mouseClick(dialog.Selector(), Qt::LeftButton, Qt::NoModifier, TabCentre(dialog.Selector(), 1));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Accuracy Summary for whole simulation: data"));
  QCOMPARE(dialog.BarRect(6).width(), 370);
  QVERIFY(ui.messages.empty());
}

void AccSummaryDlgTest::facesReadFromWorstToBest() {
  // Each face is distinct, drawn on a transparent ground, and a red face is the worst, a green one the best.
  QImage previous;
  for (int grade = 0; grade < kAccuracyFaces; ++grade) {
    const QImage face = AccuracyFace(grade).toImage();
    QCOMPARE(face.size(), QSize(20, 20));
    QCOMPARE(face.pixelColor(0, 0).alpha(), 0);
    QVERIFY(face != previous);
    previous = face;
  }
  QVERIFY(AccuracyFaceColour(0).red() > AccuracyFaceColour(0).green());
  QVERIFY(AccuracyFaceColour(10).green() > AccuracyFaceColour(10).red());
}

} // namespace pelorin
