// Paints the program's pictures into the folder named by the one argument.
#include <QDir>
#include <cstdio>

#include "tools/paint/asset_set.h"
#include "tools/paint/icon_painter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wavorin_paint <output folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "wavorin_paint: cannot create folder %s\n", argv[1]);
    return 1;
  }
  const wavorin::paint::AssetSet assets;
  QString failed = assets.write(folder);
  if (failed.isEmpty())
    failed = wavorin::paint::IconPainter(assets.skin()).write(folder + "/icons");
  if (!failed.isEmpty()) {
    std::fprintf(stderr, "wavorin_paint: cannot write %s in %s\n", qPrintable(failed), argv[1]);
    return 1;
  }
  return 0;
}
