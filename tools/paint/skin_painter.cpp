#include "tools/paint/skin_painter.h"

#include <QPainter>

#include "tools/paint/cabinet_painter.h"
#include "tools/paint/plate_painter.h"
#include "tools/paint/skin_geometry.h"
#include "tools/paint/skin_outline.h"
#include "tools/paint/trim_painter.h"

namespace wavorin::paint {

using namespace geometry;

QImage SkinPainter::paint(const DomeLook& look, int scale) const {
  QImage image(kSkinWidth * scale, kSkinHeight * scale, QImage::Format_RGB32);
  image.fill(Qt::black);
  // Every painter below draws in the skin's own coordinates.
  image.setDevicePixelRatio(scale);
  DomePainter(look).paint(image);
  CabinetPainter().paint(image);
  TrimPainter().paint(image);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PlatePainter().paint(painter);
    // The plate overhangs the cabinet and shades the wood below it.
    QLinearGradient shadow(QPointF(0, kPlateBottom), QPointF(0, kPlateBottom + 9));
    shadow.setColorAt(0.0, QColor(0, 0, 0, 130));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.fillRect(QRectF(0, kPlateBottom, kSkinWidth, 9), shadow);
  }
  SkinOutline::black_outside(image);
  image.setDevicePixelRatio(1);
  return image;
}

}  // namespace wavorin::paint
