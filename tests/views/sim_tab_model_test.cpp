// The table model over a simulation table: cells, headings, marks and style asked from the table itself.
#include "results/sim_tab.h"
#include "views/sim_tab_model.h"
#include "views/view_text.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace pelorin {

class SimTabModelTest : public QObject {
  Q_OBJECT

  // A 3 x 2 table of numbers laid out column by column, as data views are; the first row's second value
  // marked.
  static SimTab Numbers() {
    SimTab table;
    const float values[] = {1.5f, -2.25f, 0.0f, 4.0f, MissingValue, 6.125f};
    const std::uint8_t marks[] = {0, 0, 0, 1, 0, 0};
    const std::string rows[] = {"food", "manuf", "services"};
    const std::string cols[] = {"(Sim)", "Pre"};
    ErrorText error;
    const bool made = MakeSimpleR2Table(table,
                                        {.matrix = values,
                                         .marks = marks,
                                         .colLabels = cols,
                                         .rowLabels = rows,
                                         .corner = "XOUT",
                                         .columnMajor = true},
                                        2, 2, 3, error);
    if (!made) {
      qFatal("%s", error.c_str());
    }
    return table;
  }

private Q_SLOTS:
  void dataViewLocksItsHeadingRowAndColumn() {
    const SimTab table = Numbers();
    SimTabModel model(SimTabModel::LockedHeadings::RowAndColumn);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetTable(&table);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1.50"));
    QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("0"));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("n.a."));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("(Sim)"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Pre"));
    QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("services"));
    QCOMPARE(model.CellText(0, 0), QStringLiteral("XOUT"));
    QCOMPARE(model.TableRow(0), 1);
    QCOMPARE(model.TableColumn(0), 1);
  }

  void marksAreDrawnInTheMarkedColourOnly() {
    const SimTab table = Numbers();
    SimTabModel model(SimTabModel::LockedHeadings::RowAndColumn);
    model.SetTable(&table);
    QCOMPARE(model.data(model.index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(208, 0, 0));
    QVERIFY(model.CellMarked(1, 2));
    int marked = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
      for (int c = 0; c < model.columnCount(); ++c) {
        marked += model.data(model.index(r, c), Qt::ForegroundRole).isValid() ? 1 : 0;
      }
    }
    QCOMPARE(marked, 1);
    QVERIFY(!model.headerData(0, Qt::Vertical, Qt::ForegroundRole).isValid());
  }

  void contentsKeepTheLabelColumnAmongTheCells() {
    SimTab table;
    ErrorText error;
    QVERIFY(InitSimTab(table, 1, 3, error));
    const char* headings[] = {"Variable", "Size", "No.", "Name"};
    for (int c = 0; c <= 3; ++c) {
      table.Cell(0, c) = headings[c];
    }
    table.Cell(1, 0) = "XOUT";
    table.Cell(1, 3) = "Output";
    SimTabModel model(SimTabModel::LockedHeadings::Row);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetTable(&table);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Variable"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("XOUT"));
    QCOMPARE(model.data(model.index(0, 3)).toString(), QStringLiteral("Output"));
    QCOMPARE(model.TableColumn(0), 0);

    // A table without data rows still shows one empty row; a freed one shows nothing.
    QVERIFY(InitSimTab(table, 0, 3, error));
    model.TableRebuilt();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString());
    QVERIFY(FreeSimTab(table, error));
    model.TableRebuilt();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
    model.SetTable(nullptr);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString());
  }

  void rebuildingResetsTheViewsAndStyleComesFromTheGrid() {
    SimTab table = Numbers();
    SimTabModel model(SimTabModel::LockedHeadings::RowAndColumn);
    model.SetTable(&table);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    table.Cell(1, 1) = "9.99";
    model.TableRebuilt();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("9.99"));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(27);
    model.SetCellStyle(font, Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(model.data(model.index(2, 1), Qt::FontRole).value<QFont>().pixelSize(), 27);
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().pixelSize(), 27);
    QCOMPARE(model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
  }

  void textsOfOlderFilesAreReadAsLatin1() {
    QCOMPARE(ViewText("plain"), QStringLiteral("plain"));
    QCOMPARE(ViewText("S\xC3\xA3o Paulo"), QString::fromUtf8("S\xC3\xA3o Paulo"));
    QCOMPARE(ViewText("S\xE3o Paulo"), QString::fromUtf8("S\xC3\xA3o Paulo"));
    QCOMPARE(ViewText("cut \xC3"), QString::fromUtf8("cut \xC3\x83"));
  }
};

} // namespace pelorin

QTEST_MAIN(pelorin::SimTabModelTest)
#include "sim_tab_model_test.moc"
