#pragma once

#include <QImage>

namespace wavorin::paint {

// The window is cut to the cabinet's outline: the dome's disc, the body
// below its centre line and the two feet. Everything outside is black.
class SkinOutline {
 public:
  // Whether the centre of pixel (x, y) of a picture drawn at `ratio` times
  // the window's pixels lies inside, as the window's shape is cut.
  static bool contains(int x, int y, double ratio = 1.0);
  // Sets every pixel outside the outline to black, at the image's own
  // device pixel ratio.
  static void black_outside(QImage& image);
};

}  // namespace wavorin::paint
