#pragma once

#include <QImage>
#include <QRegion>
#include <memory>
#include <optional>

#include "platform/window_host.h"  // the combine modes

namespace wavorin {

// How one of the program's regions was made: rectangles and ellipses in
// window pixels and the ways they were combined. Kept beside the region so
// that the same shape can be cut again at the device's own resolution.
class RegionShape {
 public:
  RegionShape();  // empty
  // Reversed boxes are taken the right way round.
  static RegionShape rectangle(int left, int top, int right, int bottom);
  // The ellipse inscribed in the box.
  static RegionShape ellipse(int left, int top, int right, int bottom);
  // mode: RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF; another mode gives no pixels.
  static RegionShape combined(const RegionShape& a, const RegionShape& b, int mode);

  // The device pixels whose centres lie inside the shape when one window
  // pixel is `ratio` device pixels (strictly inside an ellipse, one rectangle
  // per scan line); right and bottom edges are excluded as in window pixels.
  // At ratio 1 this is the program's own region.
  QRegion at(double ratio) const;

  // How much of each device pixel the shape covers, as an Alpha8 picture of
  // `size` device pixels: 255 where the pixel lies wholly inside, 0 where
  // wholly outside, the share in between along the edge. Measured on a grid
  // of 16 x 16 samples per device pixel.
  QImage coverage(double ratio, QSize size) const;

 private:
  struct Node;
  explicit RegionShape(std::shared_ptr<const Node> node);
  std::shared_ptr<const Node> node_;
};

// Two regions combined as CombineRgn does: mode RGN_AND, RGN_OR, RGN_XOR or
// RGN_DIFF; nothing for another mode.
std::optional<QRegion> combine(const QRegion& a, const QRegion& b, int mode);

// The region as a window's shape. An empty shape would mean "no shape, the
// whole window" to Qt and to the X server alike, so a region without pixels
// becomes one pixel outside the window.
QRegion as_window_shape(const QRegion& region);

}  // namespace wavorin
