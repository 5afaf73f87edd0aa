#pragma once

#include <QImage>
#include <QRect>
#include <map>
#include <string>

namespace wavorin {

// The window's pictures for one device pixel ratio: the 1x files at 1, the
// 2x files at 2, and at any other ratio the 2x files reduced smoothly, never
// enlarged pixel by pixel. Each picture is decoded on first use and kept.
class PictureSet {
 public:
  explicit PictureSet(double ratio = 1.0);

  double ratio() const { return ratio_; }
  // The picture whose 1x file is `path` (a resource path such as
  // ":/assets/skin.png"), as device pixels; null when it cannot be read.
  // The reduction averages areas, so where a frame boundary of the strip
  // falls on a whole device pixel no frame bleeds into the next.
  const QImage& picture(const std::string& path);
  // The same, decoded again on every call and not kept: for the pictures
  // that are copied once into a surface of their own (the skin, the strip).
  QImage load(const std::string& path) const;

 private:
  double ratio_;
  std::map<std::string, QImage> decoded_;
};

// "skin.png" -> "skin@2x.png".
std::string two_x_path(const std::string& path);

// The device pixel edge nearest to window pixel edge `edge`, clamped to int.
int to_device_edge(long long edge, double ratio);
// The device pixels covering the window pixels of `rect` at `ratio`: edges
// rounded to the nearest device pixel, so neighbouring blocks neither
// overlap nor leave a gap.
QRect to_device(const QRect& rect, double ratio);
// The window pixels touching the device pixels of `rect`.
QRect to_window(const QRect& rect, double ratio);

}  // namespace wavorin
