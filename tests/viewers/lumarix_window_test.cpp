// The Header Array viewer's window driven through its real widgets, offscreen: every argument form, every
// header type with its labels and values, a 4-D header sliced both ways with the choosers, find, copy and CSV
// export, and a damaged file reported with the reader's whole message while the viewer keeps working.

#include "datafiles/har_writer.h"
#include "lumarix/lumarix_window.h"
#include "support/har_samples.h"
#include "support/temp_dir.h"
#include "viewkit/har_array_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

namespace pelorin {

namespace {

std::vector<HarHeader> EveryKind() {
  return test::EveryKindOfHeader({"first line", "second line"});
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

class LumarixWindowTest : public QObject {
  Q_OBJECT

private:
  test::TempDir dir_;
  QStringList errors_;
  QStringList openRequests_;
  QString fileToChoose_;
  QString clipboard_;
  QString saveTo_;

  ViewerServices Services() {
    ViewerServices services;
    services.showError = [this](QWidget*, const QString&, const QString& text) { errors_ << text; };
    services.showInformation = services.showError;
    services.chooseOpenFile = [this](QWidget*, const QString&, const QString& folder,
                                     const QString& filters) {
      openRequests_ << folder + "|" + filters;
      return fileToChoose_;
    };
    services.chooseSaveFile = [this](QWidget*, const QString&, const QString&, const QString&) {
      return saveTo_;
    };
    services.chooseOpenFiles = [](QWidget*, const QString&, const QString&, const QString&) {
      return QStringList();
    };
    services.setClipboardText = [this](const QString& text) { clipboard_ = text; };
    return services;
  }

  QString Write(const std::string& name, const std::vector<HarHeader>& headers, bool fujitsu = false) {
    HarWriteOptions options;
    options.isFujitsu = fujitsu;
    return Q(dir_.Write(name, HarFileBytes(headers, options)));
  }

  static QString Cell(LumarixWindow& window, int row, int col) {
    QAbstractItemModel* model = window.Panel()->Table()->model();
    return model->data(model->index(row, col)).toString();
  }
  static QString Heading(LumarixWindow& window, int section, Qt::Orientation orientation) {
    return window.Panel()->Table()->model()->headerData(section, orientation).toString();
  }

private Q_SLOTS:
  void init() {
    errors_.clear();
    openRequests_.clear();
    fileToChoose_.clear();
    clipboard_.clear();
  }

  void everyArgumentForm() {
    const QString file = Write("with blank.har", EveryKind());
    {
      LumarixWindow window(Services());
      window.StartWith("\"" + file + "\"");
      QCOMPARE(window.Headings().headings.size(), std::size_t{7});
      QVERIFY(!window.ReadOnly());
      QCOMPARE(window.windowTitle(), QStringLiteral("Lumarix - with blank.har"));
    }
    {
      LumarixWindow window(Services());
      window.StartWith("#" + file);
      QVERIFY(window.ReadOnly());
      QCOMPARE(window.windowTitle(), QStringLiteral("Lumarix - with blank.har (view only)"));
    }
    {
      // "%" + folder: a file chosen there, Header Array files offered first.
      LumarixWindow window(Services());
      fileToChoose_ = file;
      window.StartWith("%" + Q(dir_.Path().string()));
      QCOMPARE(openRequests_.size(), 1);
      QVERIFY(openRequests_[0].startsWith(Q(dir_.Path().string()) + "|Header Array files (*.har"));
      QVERIFY(openRequests_[0].endsWith(";;All files (*)"));
      QCOMPARE(window.Headings().headings.size(), std::size_t{7});
      // Cancelled: nothing is opened.
      fileToChoose_.clear();
      LumarixWindow other(Services());
      other.StartWith("%" + Q(dir_.Path().string()));
      QVERIFY(other.Headings().headings.empty());
      QVERIFY(errors_.isEmpty());
    }
  }

  void everyHeaderTypeWithItsLabelsAndValues() {
    for (bool fujitsu : {false, true}) {
      LumarixWindow window(Services());
      QVERIFY(window.OpenFile(Write(fujitsu ? "kinds_f.har" : "kinds.har", EveryKind(), fujitsu), false));
      QAbstractItemModel* list = window.HeaderList()->model();
      QCOMPARE(list->rowCount(), 7);
      QCOMPARE(list->data(list->index(4, 2)).toString(), QStringLiteral("COM*REG*2*SRC (2*3*2*2)"));
      QCOMPARE(list->data(list->index(5, 4)).toString(), QStringLiteral("SPSE"));
      QCOMPARE(list->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Long name"));
      // The first header is shown on opening: the strings, as a list.
      QCOMPARE(window.CurrentHeader(), 0);
      QCOMPARE(Cell(window, 1, 0), QStringLiteral("second line"));
      QVERIFY(window.ShowHeader(1));
      QCOMPARE(Cell(window, 1, 2), QStringLiteral("6"));
      QVERIFY(window.ShowHeader(2));
      QCOMPARE(Cell(window, 0, 1), QStringLiteral("3.5000"));
      QVERIFY(window.ShowHeader(3));
      QCOMPARE(Heading(window, 2, Qt::Vertical), QStringLiteral("row"));
      QCOMPARE(Cell(window, 2, 0), QStringLiteral("3.0000"));
      QVERIFY(window.ShowHeader(5));
      QCOMPARE(Heading(window, 1, Qt::Vertical), QStringLiteral("a2"));
      QCOMPARE(Cell(window, 1, 0), QStringLiteral("2.5000"));
      QCOMPARE(Cell(window, 2, 0), QStringLiteral("0.0000"));
      QVERIFY(window.ShowHeader(6));
      QCOMPARE(Cell(window, 1, 1), QStringLiteral("4.0000"));
      // Choosing a header in the list shows it.
      window.HeaderList()->selectRow(3);
      QCOMPARE(window.CurrentHeader(), 3);
      QVERIFY(errors_.isEmpty());
    }
  }

  void fourDimensionsSlicedBothWaysWithTheChoosers() {
    LumarixWindow window(Services());
    QVERIFY(window.OpenFile(Write("four.har", {test::FourDims()}), false));
    HarArrayPanel& panel = *window.Panel();
    QCOMPARE(panel.RowDimBox()->count(), 4);
    QCOMPARE(panel.ColDimBox()->count(), 5); // "(one column)" first
    QCOMPARE(Heading(window, 2, Qt::Horizontal), QStringLiteral("row"));
    QCOMPARE(Cell(window, 1, 2), QStringLiteral("2311.0000"));
    QVERIFY(panel.FixedBox(0) == nullptr);
    panel.FixedBox(3)->setCurrentIndex(1); // SRC at "imp"
    QCOMPARE(Cell(window, 1, 2), QStringLiteral("2312.0000"));
    // Rows over the third dimension, columns over SRC: COM and REG get choosers.
    panel.RowDimBox()->setCurrentIndex(2);
    panel.ColDimBox()->setCurrentIndex(4);
    QCOMPARE(panel.Grid().RowDim(), 2);
    QCOMPARE(panel.Grid().ColDim(), 3);
    QVERIFY(panel.FixedBox(0) != nullptr && panel.FixedBox(1) != nullptr);
    panel.FixedBox(0)->setCurrentIndex(1); // COM at "mfg"
    panel.FixedBox(1)->setCurrentIndex(2); // REG at "row"
    QCOMPARE(Heading(window, 1, Qt::Horizontal), QStringLiteral("imp"));
    QCOMPARE(Cell(window, 1, 0), QStringLiteral("2321.0000"));
    QCOMPARE(panel.TitleLabel()->text(),
             QStringLiteral("FOUR: Four dimensions - rows Dim 3, columns SRC, COM = mfg, REG = row"));
    // Choosing the columns' dimension for the rows swaps the two.
    panel.RowDimBox()->setCurrentIndex(3);
    QCOMPARE(panel.Grid().RowDim(), 3);
    QCOMPARE(panel.Grid().ColDim(), 2);
    // Sums, format and decimals.
    panel.SumsBox()->setChecked(true);
    QCOMPARE(Heading(window, 2, Qt::Horizontal), QStringLiteral("Total"));
    QCOMPARE(Cell(window, 2, 2), QStringLiteral("9266.0000"));
    panel.DecimalsBox()->setValue(1);
    QCOMPARE(Cell(window, 0, 0), QStringLiteral("2311.0"));
    panel.FormatBox()->setCurrentIndex(1);
    QCOMPARE(Cell(window, 0, 0), QStringLiteral("2.3E+03"));
  }

  void findCopyAndExport() {
    LumarixWindow window(Services());
    const QString file = Write("find.har", EveryKind());
    QVERIFY(window.OpenFile(file, false));
    QTest::keyClicks(window.FindBox(), "vec");
    QTest::keyClick(window.FindBox(), Qt::Key_Return);
    QCOMPARE(window.CurrentHeader(), 3);
    window.FindHeader("sparse");
    QCOMPARE(window.CurrentHeader(), 5);
    QVERIFY(!window.FindHeader("no such thing"));
    QCOMPARE(window.CurrentHeader(), 5);

    window.ShowHeader(3);
    window.Panel()->Table()->selectionModel()->select(window.Panel()->Table()->model()->index(1, 0),
                                                      QItemSelectionModel::Select);
    window.CopySelection();
    QCOMPARE(clipboard_, QStringLiteral("REG\tVECT\neu\t2.0000\n"));

    saveTo_ = Q(dir_.File("vect.csv"));
    window.ExportCsv();
    QCOMPARE(Q(test::ReadFileBytes(dir_.File("vect.csv"))), QStringLiteral("REG,VECT\nusa,1\neu,2\nrow,3\n"));
  }

  void damagedFileGivesTheReadersMessageAndTheViewerKeepsWorking() {
    LumarixWindow window(Services());
    const QString good = Write("good.har", EveryKind());
    QVERIFY(window.OpenFile(good, false));
    const std::string bytes = HarFileBytes(EveryKind());
    const QString cut = Q(dir_.Write("cut.har", bytes.substr(0, bytes.size() / 2)));
    QVERIFY(!window.OpenFile(cut, false));
    QCOMPARE(errors_.size(), 1);
    QVERIFY(errors_[0].startsWith("Cannot read the file\n" + cut + "\n\n"));
    QVERIFY(errors_[0].contains("Unexpected end-of-file"));
    QVERIFY(errors_[0].endsWith("[ReadHarHeadings]"));
    // The good file is still shown and still works.
    QCOMPARE(window.Headings().headings.size(), std::size_t{7});
    QVERIFY(window.ShowHeader(4));
    QVERIFY(!window.OpenFile(Q(dir_.File("missing.har")), false));
    QCOMPARE(errors_.size(), 2);
    QVERIFY(window.OpenFile(good, true));
    QCOMPARE(errors_.size(), 2);
  }
};

} // namespace pelorin

QTEST_MAIN(pelorin::LumarixWindowTest)
#include "lumarix_window_test.moc"
