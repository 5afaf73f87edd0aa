#include "tools/paint/skin_outline.h"

#include "tools/paint/skin_geometry.h"

namespace wavorin::paint {

using namespace geometry;

bool SkinOutline::contains(int x, int y) {
  const double dx = x + 0.5 - kDomeCentreX;
  const double dy = y + 0.5 - kDomeCentreY;
  if (dx * dx + dy * dy < kDomeRadius * kDomeRadius) {
    return true;
  }
  if (y >= static_cast<int>(kDomeCentreY) && y < kCabinetBottom) {
    return true;
  }
  return y >= kCabinetBottom && y < kSkinHeight && (x < kFootWidth || x >= kSkinWidth - kFootWidth);
}

void SkinOutline::black_outside(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!contains(x, y)) {
        image.setPixelColor(x, y, Qt::black);
      }
    }
  }
}

}  // namespace wavorin::paint
