#include "platform/qt/window/cabinet_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace wavorin {

namespace {

// Window pixels, and the shadow's strength where the cabinet stands fully.
constexpr double kDrop = 3;        // the lamp is above: the shadow falls down
constexpr double kBlurRadius = 5;  // of each of three box passes: 15 in all
constexpr double kOpacity = 0.36;

// One box pass along rows (step 1) or columns (step `width`) of `from` into
// `to`: each value the mean of the 2r + 1 around it, the outside counting 0.
void box_pass(const std::vector<float>& from, std::vector<float>& to, int width, int height,
              int radius, bool along_rows) {
  const int lines = along_rows ? height : width;
  const int length = along_rows ? width : height;
  const int step = along_rows ? 1 : width;
  const float scale = 1.0F / static_cast<float>(2 * radius + 1);
  for (int line = 0; line < lines; ++line) {
    const int start = along_rows ? line * width : line;
    float sum = 0;
    // The window of the first value: indices -r .. r, only 0 .. r inside.
    for (int i = 0; i <= std::min(radius, length - 1); ++i) sum += from[start + i * step];
    for (int i = 0; i < length; ++i) {
      to[start + i * step] = sum * scale;
      const int enter = i + radius + 1;
      const int leave = i - radius;
      if (enter < length) sum += from[start + enter * step];
      if (leave >= 0) sum -= from[start + leave * step];
    }
  }
}

}  // namespace

QImage cabinet_shadow(const QImage& coverage, int margin, double ratio) {
  const QImage share = coverage.convertToFormat(QImage::Format_Alpha8);
  const int width = share.width() + 2 * margin;
  const int height = share.height() + 2 * margin;
  const int drop = static_cast<int>(std::lround(kDrop * ratio));
  const int radius = std::max(1, static_cast<int>(std::lround(kBlurRadius * ratio)));
  std::vector<float> alpha(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < share.height(); ++y) {
    const int to_y = y + margin + drop;
    if (to_y >= height) break;
    const uchar* line = share.constScanLine(y);
    for (int x = 0; x < share.width(); ++x)
      alpha[static_cast<std::size_t>(to_y) * width + x + margin] =
          static_cast<float>(line[x]) / 255.0F;
  }
  std::vector<float> spare(alpha.size());
  for (int pass = 0; pass < 3; ++pass) {
    box_pass(alpha, spare, width, height, radius, true);
    box_pass(spare, alpha, width, height, radius, false);
  }
  QImage shadow(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const float a = alpha[static_cast<std::size_t>(y) * width + x] * static_cast<float>(kOpacity);
      line[x] = qRgba(0, 0, 0, std::clamp(static_cast<int>(std::lround(a * 255)), 0, 255));
    }
  }
  shadow.setDevicePixelRatio(ratio);
  return shadow;
}

}  // namespace wavorin
