// Writes a picture as the raw pixels the program copies at start-up:
//   wavorin_raw_picture <picture.png> <picture.argb32>
#include <QFile>
#include <QImage>
#include <cstdio>

#include "platform/qt/drawing/raw_picture.h"

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: wavorin_raw_picture <picture.png> <picture.argb32>\n");
    return 2;
  }
  const QImage picture(QString::fromLocal8Bit(argv[1]));
  if (picture.isNull()) {
    std::fprintf(stderr, "wavorin_raw_picture: cannot read %s\n", argv[1]);
    return 1;
  }
  QFile out(QString::fromLocal8Bit(argv[2]));
  const QByteArray raw = wavorin::to_raw_picture(picture);
  if (!out.open(QIODevice::WriteOnly) || out.write(raw) != raw.size() || !out.flush()) {
    std::fprintf(stderr, "wavorin_raw_picture: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
