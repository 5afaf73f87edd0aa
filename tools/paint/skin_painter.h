#pragma once

#include <QImage>

#include "tools/paint/dome_painter.h"

namespace wavorin::paint {

// The whole cabinet with the dome lit as `look` says; black outside the
// outline. Every call paints the same pixels for the same look.
class SkinPainter {
 public:
  QImage paint(const DomeLook& look) const;
};

}  // namespace wavorin::paint
