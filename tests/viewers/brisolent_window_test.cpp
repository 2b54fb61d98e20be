// The model explorer's window driven through its real widgets, offscreen, on Trade solved end to end: names
// in the source are links to their values, an equation's terms follow the element chosen, and a solution
// whose coefficient file or model source is missing opens with what is there and says what is missing.

#include "brisolent/brisolent_window.h"
#include "brisolent/term_table_model.h"
#include "demo_solutions.h"
#include "explorer/source_spans.h"
#include "platform/paths.h"
#include "support/temp_dir.h"
#include "viewkit/har_array_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>

namespace pelorin {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

class BrisolentWindowTest : public QObject {
  Q_OBJECT

private:
  QStringList errors_;
  QString clipboard_;

  ViewerServices Services() {
    ViewerServices services;
    services.showError = [this](QWidget*, const QString&, const QString& text) { errors_ << text; };
    services.showInformation = services.showError;
    services.chooseOpenFile = [](QWidget*, const QString&, const QString&, const QString&) {
      return QString();
    };
    services.chooseSaveFile = services.chooseOpenFile;
    services.chooseOpenFiles = [](QWidget*, const QString&, const QString&, const QString&) {
      return QStringList();
    };
    services.setClipboardText = [this](const QString& text) { clipboard_ = text; };
    return services;
  }

  static const test::DemoSolutions& Demo() { return test::DemoSolutions::Get(); }

  static QString Cell(QAbstractItemModel* model, int row, int col) {
    return model->data(model->index(row, col)).toString();
  }

private Q_SLOTS:
  void initTestCase() { QVERIFY2(Demo().trade.ok, "the demo models were not solved"); }
  void init() {
    errors_.clear();
    clipboard_.clear();
  }

  void namesInTheSourceAreLinksToTheirValues() {
    BrisolentWindow window(Services());
    window.StartWith("\"" + Q(Demo().trade.solution) + "\"");
    QVERIFY(errors_.isEmpty());
    QVERIFY(window.NotesLabel()->isHidden());
    QCOMPARE(window.windowTitle(), QStringLiteral("Brisolent - sim1.sl4"));
    const QString html = window.SourceView()->toHtml();
    QVERIFY(html.contains("name:"));
    QVERIFY(window.SourceView()->toPlainText().contains("equation E_QXS(c in COM, s in REG, d in REG)"));

    // A coefficient: its values before and after, elements down the side.
    const explore::NameRef vxmd = explore::LookupName(window.Explorer().Model(), "VXMD");
    Q_EMIT window.SourceView()->anchorClicked(QUrl(Q(explore::NameLink(vxmd))));
    QCOMPARE(window.PageShown(), 0);
    QCOMPARE(window.Heading()->text(),
             QStringLiteral("Coefficient VXMD(COM,REG,REG): Trade at producer prices"));
    QAbstractItemModel* grid = window.Panel()->Table()->model();
    QCOMPARE(grid->headerData(0, Qt::Horizontal).toString(), QStringLiteral("before"));
    QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("after"));
    QCOMPARE(grid->headerData(0, Qt::Vertical).toString(), QStringLiteral("food"));
    QCOMPARE(Cell(grid, 0, 0), QStringLiteral("120.0000")); // basedata: food from usa to usa
    QCOMPARE(window.NameBox()->currentText(), QStringLiteral("Coefficient VXMD"));

    // A variable: its result and levels.
    window.ShowName(explore::LookupName(window.Explorer().Model(), "TARREV"));
    QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("pre level"));
    QCOMPARE(grid->headerData(0, Qt::Vertical).toString(), QStringLiteral("usa"));

    // A set: its elements.
    window.ShowName(explore::LookupName(window.Explorer().Model(), "REG"));
    QCOMPARE(Cell(grid, 2, 0), QStringLiteral("asia"));

    // Chosen from the list instead of the text.
    window.NameBox()->setCurrentIndex(window.NameBox()->findText("Equation E_MKT"));
    QCOMPARE(window.PageShown(), 1);
  }

  void equationTermsFollowTheElementChosen() {
    BrisolentWindow window(Services());
    QVERIFY(window.OpenSolution(Q(Demo().trade.solution)));
    QVERIFY(window.ShowName(explore::LookupName(window.Explorer().Model(), "E_TARREV")));
    QCOMPARE(window.PageShown(), 1);
    QVERIFY(window.ElementBox(0) != nullptr);
    QVERIFY(window.ElementBox(1) == nullptr);
    QVERIFY(window.ChooseElement(0, 1));
    const explore::EquationValues& values = window.Terms()->Values();
    QCOMPARE(Q(values.heading), QStringLiteral("E_TARREV(\"eu\")"));
    QCOMPARE(values.terms.size(), std::size_t{10}); // TARREV, then the nine tariff terms of the sums
    QAbstractItemModel* terms = window.TermView()->model();
    QCOMPARE(terms->rowCount(), 12);
    QCOMPARE(Cell(terms, 0, 1), QStringLiteral("TARREV(\"eu\")"));
    QCOMPARE(Cell(terms, 1, 1),
             QStringLiteral("(TMS(\"food\", \"usa\", \"eu\") - 1) * PS(\"food\", \"usa\") * "
                            "QXS(\"food\", \"usa\", \"eu\")"));
    QCOMPARE(Cell(terms, 10, 1), QStringLiteral("Left side in all"));
    // The two sides' changes agree.
    QCOMPARE(Cell(terms, 10, 4), Cell(terms, 11, 4));
    // The tariff on food from the USA to the EU was cut: its term fell.
    QVERIFY(values.terms[1].Change() < 0);
    window.CopyShown();
    QVERIFY(clipboard_.startsWith("Side\tTerm\tBefore\tAfter\tChange\nLeft\tTARREV(\"eu\")\t"));
    QVERIFY(window.ChooseElement(0, 0));
    QCOMPARE(Q(window.Terms()->Values().heading), QStringLiteral("E_TARREV(\"usa\")"));
  }

  void missingCoefficientFileOrSourceIsSaid() {
    test::TempDir dir;
    const std::string copy = dir.File("copy.sl4");
    std::filesystem::copy_file(Demo().trade.solution, copy);
    BrisolentWindow window(Services());
    QVERIFY(window.OpenSolution(Q(copy)));
    // The model source is found where the solution names it; the coefficient file beside the copy is missing.
    QVERIFY(!window.NotesLabel()->isHidden());
    QCOMPARE(window.NotesLabel()->text(),
             QStringLiteral("The coefficient file %1 is missing, so the values of "
                            "coefficients and the terms of equations cannot be shown.")
                 .arg(Q(dir.File("copy.slc"))));
    window.ShowName(explore::LookupName(window.Explorer().Model(), "VXMD"));
    QCOMPARE(window.PageShown(), 2);
    window.ShowName(explore::LookupName(window.Explorer().Model(), "QXS"));
    QCOMPARE(window.PageShown(), 0);

    // Not a solution file at all: the reason is shown and the window stays usable.
    QVERIFY(!window.OpenSolution(Q(JoinPath(Demo().programDir, "Trade/Trade.mrk"))));
    QCOMPARE(errors_.size(), 1);
    QVERIFY(errors_[0].startsWith("Cannot open the solution\n"));
    QVERIFY(window.OpenSolution(Q(Demo().trade.solution)));
    QVERIFY(window.NotesLabel()->isHidden());
  }
};

} // namespace pelorin

QTEST_MAIN(pelorin::BrisolentWindowTest)
#include "brisolent_window_test.moc"
