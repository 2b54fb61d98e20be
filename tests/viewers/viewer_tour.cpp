// The viewers' tour: each viewer opened on the files of a solve of the demo models, a PNG of each screen.
//   viewer_tour DIR        (under a display; tests/viewers/viewer_tour.sh runs it under xvfb-run)

#include "brisolent/brisolent_window.h"
#include "demo_solutions.h"
#include "explorer/source_spans.h"
#include "lumarix/lumarix_window.h"
#include "platform/paths.h"
#ifdef PELORIN_WITH_TELVARI
#include "telvari/telvari_window.h"
#endif
#include "viewkit/har_array_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <cstdio>

namespace {

using namespace pelorin;

ViewerServices QuietServices() {
  ViewerServices services;
  services.showError = [](QWidget*, const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
  };
  services.showInformation = services.showError;
  services.chooseOpenFile = [](QWidget*, const QString&, const QString&, const QString&) {
    return QString();
  };
  services.chooseSaveFile = services.chooseOpenFile;
  services.chooseOpenFiles = [](QWidget*, const QString&, const QString&, const QString&) {
    return QStringList();
  };
  services.setClipboardText = [](const QString&) {};
  return services;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

void Shoot(QWidget& window, const QString& dir, const QString& name) {
  window.show();
  window.raise();
  QTest::qWait(300);
  const QString file = dir + "/" + name + ".png";
  if (!window.grab().save(file)) {
    std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
  } else {
    std::printf("%s\n", qPrintable(file));
  }
}

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: viewer_tour DIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  const test::DemoSolutions& demo = test::DemoSolutions::Get();
  if (!demo.trade.ok || !demo.minimal.ok || !demo.trade2.ok) {
    std::fprintf(stderr, "the demo models could not be solved\n");
    return 1;
  }

  // Lumarix: Trade's base data, trade flows of three dimensions as slices; then the converted solution's
  // 3-D trade volumes with sources down the side and destinations across, one commodity at a time.
  {
    LumarixWindow window(QuietServices());
    window.resize(1200, 720);
    window.StartWith(Q("#" + JoinPath(demo.programDir, "Trade/basedata.har")));
    window.FindHeader("VXMD");
    window.Panel()->SumsBox()->setChecked(true);
    Shoot(window, out, "lumarix_basedata_vxmd");
    window.OpenFile(Q(JoinPath(demo.trade.folder, "sim1.sol")), false);
    window.FindHeader("QXS");
    window.Panel()->SetAxes(1, 2);
    window.Panel()->SetFixed(0, 1);
    Shoot(window, out, "lumarix_solution_qxs_slices");
  }

  // Brisolent on Trade's solution: an equation's terms for one element, then a coefficient before and after.
  {
    BrisolentWindow window(QuietServices());
    window.resize(1280, 760);
    window.StartWith(Q(demo.trade.solution));
    window.ShowName(explore::LookupName(window.Explorer().Model(), "E_TARREV"));
    window.ChooseElement(0, 1);
    Shoot(window, out, "brisolent_equation_terms");
    window.ShowName(explore::LookupName(window.Explorer().Model(), "VXMD"));
    Shoot(window, out, "brisolent_coefficient_before_after");
    window.ShowName(explore::LookupName(window.Explorer().Model(), "PS"));
    Shoot(window, out, "brisolent_variable_levels");
  }
#ifdef PELORIN_WITH_TELVARI
  // Telvari on Trade's solution and a second simulation with the tariff cut doubled: a data view with every
  // solution side by side, the accuracy figures, and one variable from both simulations with the difference.
  {
    TelvariWindow window(QuietServices());
    window.resize(1200, 720);
    window.StartWith({Q(demo.trade.solution), Q(demo.trade2.solution)});
    window.ShowSimulation(0);
    Shoot(window, out, "telvari_contents");
    for (int row = 0; row < window.ContentsView()->model()->rowCount(); ++row) {
      if (window.ContentsView()->model()->index(row, 0).data().toString() == "TARREV") {
        window.OpenContentsLine(row);
        break;
      }
    }
    Shoot(window, out, "telvari_data_view");
    window.Tabs()->setCurrentIndex(1);
    Shoot(window, out, "telvari_accuracy");
    window.Tabs()->setCurrentIndex(2);
    window.CompareVariable("QXS");
    Shoot(window, out, "telvari_side_by_side");
  }
#endif
  return 0;
}
