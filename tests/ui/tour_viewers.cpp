#include "tour_viewers.h"

#include "app/application.h"
#include "brisolent/brisolent_window.h"
#include "explorer/source_spans.h"
#include "lumarix/lumarix_window.h"
#include "platform/paths.h"
#include "ui/main_form.h"
#include "ui/window_program.h"
#include "viewkit/har_array_panel.h"
#ifdef PELORIN_WITH_TELVARI
#include "telvari/telvari_window.h"
#endif

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <iostream>
#include <sstream>

namespace pelorin {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The services of a viewer in the tour: messages go to the tour's list, file dialogs answer `chosen`.
ViewerServices TourServices(QStringList& messages, const QStringList& chosen) {
  ViewerServices services;
  services.showError = [&messages](QWidget*, const QString& title, const QString& text) {
    messages << title + ": " + text;
  };
  services.showInformation = services.showError;
  services.chooseOpenFile = [chosen](QWidget*, const QString&, const QString&, const QString&) {
    return chosen.value(0);
  };
  services.chooseOpenFiles = [chosen](QWidget*, const QString&, const QString&, const QString&) {
    return chosen;
  };
  services.chooseSaveFile = [](QWidget*, const QString&, const QString&, const QString&) {
    return QString();
  };
  services.setClipboardText = [](const QString&) {};
  return services;
}

// A viewer on the screen as a person sees it: its views laid out at their real size before the picture.
void Show(QWidget* window) {
  window->show();
  static_cast<void>(QTest::qWaitForWindowExposed(window));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

} // namespace

bool TourViewers(WindowProgram& program, const std::string& programDir, const TourPictures& pictures,
                 QStringList& messages) {
  Application& core = program.Core();
  TMainForm& form = *program.MainForm();
  if (!core.App.SolutionPresent) {
    std::cerr << "Trade has no solution for the viewers\n";
    return false;
  }
  form.Refresh();

  // What the View menu would start, recorded instead of started.
  QStringList launched;
  core.Model.Launcher = [&launched](const std::string& exe, const std::vector<std::string>& arguments,
                                    const std::string&, ErrorText&) {
    launched = QStringList{Q(exe)};
    for (const std::string& argument : arguments) {
      launched << Q(argument);
    }
    return true;
  };
  QMenu* view = form.Menu(QStringLiteral("View1"));
  QMenuBar* bar = form.menuBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(view->menuAction()).center());
  static_cast<void>(QTest::qWaitFor([view] { return view->isVisible(); }, 2000));
  pictures.screen(QStringLiteral("trade-solved-menu-view"));
  view->close();
  auto start = [&](const char* action) {
    launched.clear();
    form.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    return launched.size() >= 2 ? launched[1] : QString();
  };

  // Lumarix: the solution as the View menu gives it, then the converted solution chosen in the output folder,
  // its 3-D trade volumes with sources down the side and destinations across, one commodity at a time.
  const QString solution = start("SolutionViaLumarix1");
  {
    LumarixWindow lumarix(TourServices(messages, {QFileInfo(solution).absolutePath() + "/sim1.sol"}));
    lumarix.resize(1200, 720);
    Show(&lumarix);
    lumarix.StartWith(solution);
    pictures.window(&lumarix, QStringLiteral("lumarix-solution"));
    lumarix.StartWith(start("OtherHeaderArrayFile1"));
    lumarix.FindHeader(QStringLiteral("QXS"));
    lumarix.Panel()->SetAxes(1, 2);
    lumarix.Panel()->SetFixed(0, 0);
    pictures.window(&lumarix, QStringLiteral("lumarix-3d-variable-as-slices"));
  }

#ifdef PELORIN_WITH_TELVARI
  // Telvari: the solution, and a second simulation of Trade with the tariff cut doubled beside it.
  {
    QTemporaryDir second;
    const std::string settings = Replaced(
        Replaced(ReadAll(JoinPath(programDir, "Trade/Trade.ini")), "= -5 ;", "= -10 ;"), "sim1", "sim2");
    std::ofstream(second.filePath("trade2.ini").toStdString()) << settings;
    QProcess solve;
    solve.start(Q(JoinPath(programDir, "pelorin-solve")),
                {"Trade", "--settings", second.filePath("trade2.ini"), "--work", second.filePath("run")});
    solve.waitForFinished(120000);
    TelvariWindow telvari(TourServices(messages, {second.filePath("run/sim2.sl4")}));
    telvari.resize(1200, 720);
    Show(&telvari);
    telvari.StartWith({start("SolutionViaTelvari1")});
    for (int row = 0; row < telvari.ContentsView()->model()->rowCount(); ++row) {
      if (telvari.ContentsView()->model()->index(row, 0).data().toString() == "TARREV") {
        telvari.OpenContentsLine(row);
      }
    }
    pictures.window(&telvari, QStringLiteral("telvari-data-view"));
    telvari.Tabs()->setCurrentIndex(1);
    pictures.window(&telvari, QStringLiteral("telvari-accuracy"));
    telvari.Tabs()->setCurrentIndex(0);
    telvari.StartWith({"%" + second.path()});
    telvari.Tabs()->setCurrentIndex(2);
    telvari.CompareVariable(QStringLiteral("QXS"));
    pictures.window(&telvari, QStringLiteral("telvari-two-simulations-side-by-side"));
  }
#endif

  // Brisolent: the equation of tariff revenue, its terms for the EU before and after.
  {
    BrisolentWindow brisolent(TourServices(messages, {}));
    brisolent.resize(1280, 760);
    Show(&brisolent);
    brisolent.StartWith(start("SolutionViaBrisolent1"));
    brisolent.ShowName(explore::LookupName(brisolent.Explorer().Model(), "E_TARREV"));
    brisolent.ChooseElement(0, 1);
    pictures.window(&brisolent, QStringLiteral("brisolent-equation-terms"));
    brisolent.ShowName(explore::LookupName(brisolent.Explorer().Model(), "VXMD"));
    pictures.window(&brisolent, QStringLiteral("brisolent-coefficient-before-after"));
    brisolent.ShowName(explore::LookupName(brisolent.Explorer().Model(), "PS"));
    pictures.window(&brisolent, QStringLiteral("brisolent-variable-results-and-levels"));
  }
  core.Model.Launcher = DetachedLauncher();
  return true;
}

} // namespace pelorin
