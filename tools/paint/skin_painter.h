#pragma once

#include <QImage>

#include "tools/paint/dome_painter.h"

namespace wavorin::paint {

// The whole cabinet with the dome lit as `look` says; black outside the
// outline. Every call paints the same pixels for the same look. `scale` 2
// draws the same picture at twice the resolution; the image comes back with
// a device pixel ratio of 1, its pixels addressed directly.
class SkinPainter {
 public:
  QImage paint(const DomeLook& look, int scale = 1) const;
};

}  // namespace wavorin::paint
