// The Results page's windows, each test class over one real solve of Minimal.
#include "results_ui_tests.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  int failed = 0;
  pelorin::ResultsPageWidgetTest page;
  failed += QTest::qExec(&page, argc, argv);
  pelorin::AccSummaryDlgTest accuracy;
  failed += QTest::qExec(&accuracy, argc, argv);
  pelorin::InspectrDlgTest inspector;
  failed += QTest::qExec(&inspector, argc, argv);
  return failed == 0 ? 0 : 1;
}
