#include "tools/paint/skin_outline.h"

#include "tools/paint/skin_geometry.h"

namespace wavorin::paint {

using namespace geometry;

bool SkinOutline::contains(int x, int y, double ratio) {
  const double px = (x + 0.5) / ratio;
  const double py = (y + 0.5) / ratio;
  const double dx = px - kDomeCentreX;
  const double dy = py - kDomeCentreY;
  if (dx * dx + dy * dy < kDomeRadius * kDomeRadius) {
    return true;
  }
  const auto in_box = [px, py](const layout::PixelBox& box) {
    return px >= box.left && px < box.right && py >= box.top && py < box.bottom;
  };
  return in_box(layout::kOutlineBody) || in_box(layout::kOutlineLeftFoot) ||
         in_box(layout::kOutlineRightFoot);
}

void SkinOutline::black_outside(QImage& image) {
  const double ratio = image.devicePixelRatio();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!contains(x, y, ratio)) {
        image.setPixelColor(x, y, Qt::black);
      }
    }
  }
}

}  // namespace wavorin::paint
