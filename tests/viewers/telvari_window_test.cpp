// The solution viewer's window driven through its real widgets, offscreen, on Trade solved twice end to end:
// the argument forms, the contents and a data view with every solution side by side, the element filter, the
// accuracy figures, and the two simulations side by side with their difference.

#include "demo_solutions.h"
#include "telvari/telvari_window.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace pelorin {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QString Cell(QTableView* view, int row, int col) {
  return view->model()->data(view->model()->index(row, col)).toString();
}

int RowOf(QTableView* view, const QString& text) {
  for (int row = 0; row < view->model()->rowCount(); ++row) {
    if (Cell(view, row, 0) == text) {
      return row;
    }
  }
  return -1;
}

} // namespace

class TelvariWindowTest : public QObject {
  Q_OBJECT

private:
  QStringList errors_;
  QStringList information_;
  QStringList chosen_;
  QString clipboard_;

  ViewerServices Services() {
    ViewerServices services;
    services.showError = [this](QWidget*, const QString&, const QString& text) { errors_ << text; };
    services.showInformation = [this](QWidget*, const QString&, const QString& text) {
      information_ << text;
    };
    services.chooseOpenFile = [](QWidget*, const QString&, const QString&, const QString&) {
      return QString();
    };
    services.chooseOpenFiles = [this](QWidget*, const QString&, const QString&, const QString&) {
      return chosen_;
    };
    services.chooseSaveFile = services.chooseOpenFile;
    services.setClipboardText = [this](const QString& text) { clipboard_ = text; };
    return services;
  }

  static const test::DemoSolutions& Demo() { return test::DemoSolutions::Get(); }

private Q_SLOTS:
  void initTestCase() { QVERIFY2(Demo().trade.ok && Demo().trade2.ok, "the demo models were not solved"); }
  void init() {
    errors_.clear();
    information_.clear();
    chosen_.clear();
    clipboard_.clear();
  }

  void oneSolutionAsTheResultsPageShowsIt() {
    TelvariWindow window(Services());
    window.StartWith({"\"" + Q(Demo().trade.solution) + "\""});
    QVERIFY(errors_.isEmpty());
    QCOMPARE(window.NumSimulations(), 1);
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvari - sim1.sl4"));
    QVERIFY(!window.Tabs()->isTabEnabled(2)); // side by side needs two
    const int line = RowOf(window.ContentsView(), "TARREV");
    QVERIFY(line >= 0);
    window.OpenContentsLine(line);
    QTableView* data = window.DataView();
    QVERIFY(data->isVisible() || !window.isVisible());
    QCOMPARE(window.StatusLabel()->text(), QStringLiteral("TARREV(REG) [change]: Tariff revenue"));
    // The cumulative result, the three levels solutions and the two subtotals side by side.
    QCOMPARE(data->model()->columnCount(), 6);
    QCOMPARE(data->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("(Sim)"));
    QCOMPARE(data->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("tariff cut"));
    QCOMPARE(data->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("eu"));
    // The change of tariff revenue is its post level less its pre level, and the subtotals add up to it.
    const double change = Cell(data, 1, 0).toDouble();
    QVERIFY(std::abs(change - (Cell(data, 1, 2).toDouble() - Cell(data, 1, 1).toDouble())) < 0.011);
    QVERIFY(std::abs(change - (Cell(data, 1, 4).toDouble() + Cell(data, 1, 5).toDouble())) < 0.011);

    // The element filter: only what holds "food".
    const int food = window.FilterBox()->findText("food");
    QVERIFY(food > 0);
    window.FilterBox()->setCurrentIndex(food);
    QVERIFY(RowOf(window.ContentsView(), "TMS[food,*,*]") >= 0);

    // The accuracy figures: every component of a Gragg 2-4-6 solve has them.
    window.Tabs()->setCurrentIndex(1);
    QTableView* accuracy = window.AccuracyView();
    QCOMPARE(accuracy->model()->headerData(accuracy->model()->rowCount() - 1, Qt::Vertical).toString(),
             QStringLiteral("All"));
    window.CopyShown();
    QVERIFY(clipboard_.startsWith("Variable\tComponents\tLowest\t0"));
  }

  void twoSimulationsSideBySide() {
    TelvariWindow window(Services());
    chosen_ = {Q(Demo().trade.solution), Q(Demo().trade2.solution)};
    window.StartWith({"%" + Q(Demo().trade.folder)});
    QCOMPARE(window.NumSimulations(), 2);
    QVERIFY(window.Tabs()->isTabEnabled(2));
    QVERIFY(window.CompareVariable("tms"));
    QCOMPARE(window.CompareTitle()->text(), QStringLiteral("TMS(COM,REG,REG) [%-change]: Tariff power"));
    QTableView* table = window.CompareView();
    QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("sim2 - sim1"));
    int shocked = 0;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
      if (table->model()->headerData(row, Qt::Vertical).toString() == "food,usa,eu") {
        QCOMPARE(Cell(table, row, 0), QStringLiteral("-5.0000"));
        QCOMPARE(Cell(table, row, 1), QStringLiteral("-10.0000"));
        QCOMPARE(Cell(table, row, 2), QStringLiteral("-5.0000"));
        ++shocked;
      }
    }
    QCOMPARE(shocked, 1);
    QVERIFY(window.CompareVariableBox()->count() >= 11);
    // The second simulation on the Results tab.
    window.ShowSimulation(1);
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvari - sim2.sl4"));
  }

  void aFileThatIsNoSolutionIsRefusedWithItsReason() {
    TelvariWindow window(Services());
    QVERIFY(!window.OpenSolution(Q(Demo().programDir + "/Trade/Trade.mrk")));
    QCOMPARE(errors_.size(), 1);
    QVERIFY(errors_[0].startsWith("Cannot open the solution\n"));
    QCOMPARE(window.NumSimulations(), 0);
    QVERIFY(window.OpenSolution(Q(Demo().trade.solution)));
  }
};

} // namespace pelorin

QTEST_MAIN(pelorin::TelvariWindowTest)
#include "telvari_window_test.moc"
