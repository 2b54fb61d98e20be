// telvari.exe: the solution viewer. Started with solution files, or "%" + a folder to choose them in.

#include "telvari/telvari_window.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Telvari"));
  pelorin::TelvariWindow window(pelorin::DesktopServices());
  window.show();
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  window.StartWith(arguments);
  return app.exec();
}
