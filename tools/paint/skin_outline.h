#pragma once

#include <QImage>

namespace wavorin::paint {

// The window is cut to the cabinet's outline: the dome's disc, the body
// below its centre line and the two feet. Everything outside is black.
class SkinOutline {
 public:
  static bool contains(int x, int y);
  // Sets every pixel outside the outline to black.
  static void black_outside(QImage& image);
};

}  // namespace wavorin::paint
