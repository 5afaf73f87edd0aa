#pragma once

#include <QImage>
#include <QRect>
#include <functional>

#include "tools/paint/chrome.h"

namespace wavorin::paint {

// A pixel centre's place relative to a tube: its signed distance from the
// centre line (positive on the outer side) and the outer side's unit normal.
struct TubePoint {
  double offset = 0;
  double normal_x = 0;
  double normal_y = 0;
};

// Shades round metal tubes pixel by pixel, so bends stay seamless: the
// highlight sits on whichever side of the tube faces the lamp, and the
// tube's long edges are anti-aliased by their coverage of each pixel.
class TubeShader {
 public:
  using Locate = std::function<TubePoint(double x, double y)>;

  TubeShader(double half_width, chrome::Finish finish);

  // Paints over the pixels of `bounds` that the tube covers. `bounds` is in
  // the picture's coordinates; an image with a device pixel ratio of 2 is
  // shaded at twice the resolution.
  void paint(QImage& image, const QRect& bounds, const Locate& locate) const;
  // The opaque colour of the tube's surface at `point`.
  QColor shade(const TubePoint& point) const;

 private:
  double half_width_;
  chrome::Finish finish_;
};

}  // namespace wavorin::paint
