// The sets and variables inspector's window over the core's logic: the sorted lists, a set's members,
// subsets and supersets, the variable list's three columns and scroll range, and each page's Copy.
#include "modelinfo/model_info_reader.h"
#include "results_ui_tests.h"
#include "solved_minimal.h"
#include "ui/inspectr_dlg.h"

#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace pelorin {

namespace {

QStringList Texts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) {
    texts << list->item(i)->text();
  }
  return texts;
}

void ChooseRow(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  QVERIFY2(!found.isEmpty(), qPrintable(text));
  list->scrollToItem(found.front());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(found.front()).center());
}

} // namespace

void InspectrDlgTest::initTestCase() {
  std::string failure;
  solved = test::SolvedMinimal::Get(failure);
  QVERIFY2(solved, failure.c_str());
}

void InspectrDlgTest::eachPageCopiesItsOwnText() {
  test::ScriptedUserInterface ui;
  int helps = 0;
  TInspectrDlg dialog(solved->app->ModelInfo, kInspectorCaption, kInspectorHelp, ui, [&helps] { ++helps; });
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("  Information about Sets, Subsets and Variables"));
  QCOMPARE(dialog.Pages()->count(), 3);
  QCOMPARE(dialog.Pages()->tabText(0), QStringLiteral("Sets"));
  QCOMPARE(dialog.Pages()->tabText(1), QStringLiteral("Variables"));
  QCOMPARE(dialog.Pages()->tabText(2), QStringLiteral("Coefficients"));
  QCOMPARE(Texts(dialog.SetList()),
           (QStringList{QStringLiteral("COM = Commodities"), QStringLiteral("FAC = Factors of production")}));
  // The first set is chosen on opening.
  QCOMPARE(Texts(dialog.MemberList()),
           (QStringList{QStringLiteral("food"), QStringLiteral("manuf"), QStringLiteral("services")}));
  ChooseRow(dialog.SetList(), QStringLiteral("FAC = Factors of production"));
  QCOMPARE(Texts(dialog.MemberList()), (QStringList{QStringLiteral("labour"), QStringLiteral("capital")}));
  QVERIFY(Texts(dialog.SubsetList()).isEmpty());

  QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
  QCOMPARE(ui.clipboard,
           std::string("COM = Commodities\r\nFAC = Factors of production\r\n\r\nlabour\r\ncapital\r\n"));

  // Variables: name, HT, argument sets joined by "*", HT, description; a scalar's arguments are empty.
  dialog.Pages()->setCurrentIndex(1);
  QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
  QCOMPARE(ui.clipboard, std::string("INCOME\t\tHousehold income\r\n"
                                     "PCOM\tCOM\tPrice of a good\r\n"
                                     "PFAC\tFAC\tFactor price\r\n"
                                     "QFAC\tFAC\tFactor supply\r\n"
                                     "VGDP\t\tGross domestic product at current prices\r\n"
                                     "XFAC\tFAC*COM\tFactor use by industry\r\n"
                                     "XOUT\tCOM\tOutput\r\n"));
  QCOMPARE(dialog.VariableList()->count(), 7);

  // Coefficients are never read: the page is empty and copies nothing.
  dialog.Pages()->setCurrentIndex(2);
  QCOMPARE(dialog.CoefficientList()->count(), 0);
  ui.clipboard = "untouched";
  QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
  QCOMPARE(ui.clipboard, std::string("untouched"));

  QVERIFY(dialog.HelpButton()->isVisible());
  QTest::mouseClick(dialog.HelpButton(), Qt::LeftButton);
  QCOMPARE(helps, 1);
  QTest::mouseClick(dialog.ExitButton(), Qt::LeftButton);
  QVERIFY(!dialog.isVisible());
}

void InspectrDlgTest::subsetsSupersetsAndSetsWithoutElements() {
  SolInfoRec info;
  ErrorText error;
  const std::string min = solved->programDir + "/Trade/Trade.min";
  QVERIFY2(ReadModelInfo(min, error, info) && AddMinInfoToSolInfo(min, info, error), error.c_str());
  test::ScriptedUserInterface ui;
  TInspectrDlg dialog(info, kInspectorCaption, 0, ui, {});
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QVERIFY(!dialog.HelpButton()->isVisible());
  ChooseRow(dialog.SetList(), QStringLiteral("TRAD = Traded goods"));
  QCOMPARE(Texts(dialog.MemberList()), (QStringList{QStringLiteral("food"), QStringLiteral("manuf")}));
  QCOMPARE(Texts(dialog.SupersetList()), QStringList{QStringLiteral("COM")});
  QVERIFY(Texts(dialog.SubsetList()).isEmpty());
  // Commodities are read from the data: no members before a run, but the subset shows.
  ChooseRow(dialog.SetList(), QStringLiteral("COM = Commodities"));
  QVERIFY(Texts(dialog.MemberList()).isEmpty());
  QCOMPARE(Texts(dialog.SubsetList()), QStringList{QStringLiteral("TRAD")});
  QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
  QVERIFY(ui.clipboard.ends_with("TRAD = Traded goods\r\n\r\n"));
}

void InspectrDlgTest::variablesAreDrawnInThreeColumns() {
  test::ScriptedUserInterface ui;
  TInspectrDlg dialog(solved->app->ModelInfo, kInspectorCaption, kInspectorHelp, ui, {});
  dialog.resize(300, 300); // as narrow as its pages allow
  dialog.Pages()->setCurrentIndex(1);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const Inspector& logic = dialog.Logic();
  QVERIFY(logic.NameWidth() > 0 && logic.ArgsWidth() > 0 && logic.DescriptionWidth() > logic.NameWidth());
  // The list scrolls across the three columns' widths.
  QListWidget* list = dialog.VariableList();
  QCOMPARE(list->sizeHintForColumn(0), logic.VariableScrollRange() + 2 * 3);
  QCOMPARE(list->horizontalScrollBar()->maximum(),
           std::max(0, logic.VariableScrollRange() + 2 * 3 - list->viewport()->width()));
  QCOMPARE(list->visualItemRect(list->item(1)).height(), 4 * QFontInfo(dialog.font()).pixelSize() / 3);
  // The argument column starts where the widest name ends: "COM" is drawn there on PCOM's line.
  const QImage image = list->viewport()->grab().toImage();
  const QRect line = list->visualItemRect(list->item(1));
  auto inked = [&](int from, int to) {
    for (int x = from; x < to; ++x) {
      for (int y = line.top(); y <= line.bottom(); ++y) {
        if (image.pixelColor(x, y).lightness() < 128) {
          return true;
        }
      }
    }
    return false;
  };
  QVERIFY(inked(3 + logic.NameWidth(), 3 + logic.NameWidth() + 8));
  QVERIFY(!inked(3 + logic.NameWidth() - 6, 3 + logic.NameWidth() - 1));
}

} // namespace pelorin
