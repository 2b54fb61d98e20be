// brisolent.exe: the model explorer. Started with a solution file.

#include "brisolent/brisolent_window.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brisolent"));
  pelorin::BrisolentWindow window(pelorin::DesktopServices());
  window.show();
  if (argc > 1) {
    window.StartWith(QString::fromLocal8Bit(argv[1]));
  }
  return app.exec();
}
