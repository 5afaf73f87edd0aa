#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "platform/window_description.h"

namespace wavorin {

// A windowless picture on the window: drawn by the window itself and hit-tested
// by rectangle. Its rectangle is pixels of the window's inside.
struct ImageElement {
  Element element;
  QRect rect;
  QImage picture;
  QString tool_tip;
  bool visible = true;
  bool clickable = false;  // has a click handler
};

}  // namespace wavorin
