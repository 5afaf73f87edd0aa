#include "platform/qt/drawing/surface.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace wavorin {

QColor surface_background() { return {0xF0, 0xF0, 0xF0}; }

QImage make_surface(QSize size, const QImage& picture) {
  QImage surface(size.expandedTo(QSize(1, 1)), kSurfaceFormat);
  surface.fill(surface_background());
  if (!picture.isNull()) {
    QPainter painter(&surface);
    painter.drawImage(QPoint(0, 0), picture);
  }
  return surface;
}

void grow_surface(QImage& surface, QSize size) {
  const QSize grown = surface.size().expandedTo(size);
  if (grown == surface.size()) return;
  QImage larger(grown, kSurfaceFormat);
  larger.fill(surface_background());
  copy_block(larger, 0, 0, surface.width(), surface.height(), surface, 0, 0);
  surface = std::move(larger);
}

QRect copy_block(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
                 int src_y) {
  if (width <= 0 || height <= 0 || dest.format() != kSurfaceFormat ||
      src.format() != kSurfaceFormat) {
    return {};
  }
  // Clip in 64 bits: the program may pass any int.
  const auto clip_axis = [](long long& to, long long& from, long long& extent, long long to_size,
                            long long from_size) {
    const long long skip = std::max({0LL, -to, -from});
    to += skip;
    from += skip;
    extent -= skip;
    extent = std::min({extent, to_size - to, from_size - from});
  };
  long long dx = x, sx = src_x, w = width;
  long long dy = y, sy = src_y, h = height;
  clip_axis(dx, sx, w, dest.width(), src.width());
  clip_axis(dy, sy, h, dest.height(), src.height());
  if (w <= 0 || h <= 0) return {};

  const auto row_bytes = static_cast<std::size_t>(w) * 4;
  const bool same = &dest == &src || dest.constBits() == src.constBits();
  // Within one surface, copy rows bottom-up when moving down so no source row
  // is overwritten before it is read; memmove handles overlap within a row.
  const bool bottom_up = same && dy > sy;
  for (long long i = 0; i < h; ++i) {
    const long long row = bottom_up ? h - 1 - i : i;
    const uchar* from = src.constScanLine(static_cast<int>(sy + row)) + sx * 4;
    uchar* to = dest.scanLine(static_cast<int>(dy + row)) + dx * 4;
    std::memmove(to, from, row_bytes);
  }
  return {static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(w), static_cast<int>(h)};
}

}  // namespace wavorin
