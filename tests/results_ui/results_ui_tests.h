#pragma once

#include "ui/results_page_widget.h"

#include <QObject>
#include <memory>

namespace pelorin {

namespace test {
class SolvedMinimal;
}

/// The Results page's widgets after a real solve.
class ResultsPageWidgetTest : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void initTestCase();
  void init();
  void cleanup();
  void contentsGridShowsTheCoreTable();
  void openingALineShowsTheDataViewWithMarksInRed();
  void theSameCellClickedTwiceReturns();
  void sizeButtonsClampWithTheirStatusText();
  void rightClicksHandTheirTablesToTheChartingProgram();
  void theChartingProgramIsStartedWhenNobodyListens();
  void exportedCsvReadsBackEveryValue();
  void toolBarControlsGoToTheCore();

private:
  test::SolvedMinimal* solved = nullptr;
  std::unique_ptr<ResultsPageWidget> widget;
};

/// The accuracy summary dialog.
class AccSummaryDlgTest : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void initTestCase();
  void theSolvesSummaryIsDrawnInTheBinColours();
  void sideAndListRulesWithTheirMessage();
  void clickAndHoldRevealsTheLegend();
  void aSingleSummaryHasABlankNameAndNoWorst();
  void facesReadFromWorstToBest();

private:
  test::SolvedMinimal* solved = nullptr;
};

/// The sets and variables inspector.
class InspectrDlgTest : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void initTestCase();
  void eachPageCopiesItsOwnText();
  void subsetsSupersetsAndSetsWithoutElements();
  void variablesAreDrawnInThreeColumns();

private:
  test::SolvedMinimal* solved = nullptr;
};

} // namespace pelorin
