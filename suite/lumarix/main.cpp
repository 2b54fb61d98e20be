// lumarix.exe: the Header Array viewer. Started with a file, "#" + file (viewing only) or "%" + folder.

#include "lumarix/lumarix_window.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumarix"));
  pelorin::LumarixWindow window(pelorin::DesktopServices());
  window.show();
  if (argc > 1) {
    window.StartWith(QString::fromLocal8Bit(argv[1]));
  }
  return app.exec();
}
