#include "tools/paint/tube_shader.h"

#include <algorithm>
#include <cmath>

namespace wavorin::paint {
namespace {

// Unit vector toward the lamp, in image coordinates (y grows downward).
constexpr double kLampX = -0.7071;
constexpr double kLampY = -0.7071;

double smoothstep(double lo, double hi, double x) {
  const double t = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

}  // namespace

TubeShader::TubeShader(double half_width, chrome::Finish finish)
    : half_width_(half_width), finish_(finish) {}

QColor TubeShader::shade(const TubePoint& point) const {
  const double facing = point.normal_x * kLampX + point.normal_y * kLampY;
  const double from_outer = std::clamp(0.5 - point.offset / (2.0 * half_width_), 0.0, 1.0);
  // Where neither side faces the lamp the two orientations are blended, so
  // the highlight slides across the tube instead of jumping.
  const double outer_lit = smoothstep(-0.35, 0.35, facing);
  QColor colour = chrome::mix(chrome::profile(finish_, 1.0 - from_outer),
                              chrome::profile(finish_, from_outer), outer_lit);
  colour = chrome::scaled(colour, 0.93 + 0.09 * facing);
  const double to_edge = half_width_ - std::abs(point.offset);
  if (to_edge < 1.0) {
    colour = chrome::mix(chrome::kEdgeLine, colour, std::max(to_edge, 0.0));
  }
  return colour;
}

void TubeShader::paint(QImage& image, const QRect& bounds, const Locate& locate) const {
  // Shading runs over the image's own pixels; the tube is laid out in the
  // picture's coordinates, which are device pixels divided by the ratio.
  const double ratio = image.devicePixelRatio();
  const auto scale = static_cast<int>(ratio);
  const QRect device(bounds.topLeft() * scale, bounds.size() * scale);
  const QRect area = device.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const TubePoint point = locate((x + 0.5) / ratio, (y + 0.5) / ratio);
      const double coverage =
          std::clamp((half_width_ - std::abs(point.offset)) * ratio + 0.5, 0.0, 1.0);
      if (coverage <= 0.0) {
        continue;
      }
      const QColor under = image.pixelColor(x, y);
      image.setPixelColor(x, y, chrome::mix(under, shade(point), coverage));
    }
  }
}

}  // namespace wavorin::paint
