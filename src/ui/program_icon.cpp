#include "ui/program_icon.h"

#include <QPainter>
#include <QSvgRenderer>

// Outside the namespace: the resource's initialiser is a global function.
static void InitProgramResources() {
  // The resources live in a static library; naming them here links them into every program that draws.
  Q_INIT_RESOURCE(pelorin);
}

namespace pelorin {

void LoadProgramResources() {
  static const bool loaded = [] {
    InitProgramResources();
    return true;
  }();
  static_cast<void>(loaded);
}

QPixmap ProgramIconPixmap(int size) {
  LoadProgramResources();
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/pelorin/pelorin.svg"));
  if (renderer.isValid()) {
    QPainter painter(&pixmap);
    renderer.render(&painter);
  }
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(ProgramIconPixmap(size));
  }
  return icon;
}

} // namespace pelorin
