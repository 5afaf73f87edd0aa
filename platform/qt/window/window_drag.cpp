#include "platform/qt/window/window_drag.h"

namespace wavorin {

void WindowDrag::press(QPoint pointer, QPoint window) {
  pointer_at_press_ = pointer;
  window_at_press_ = window;
}

}  // namespace wavorin
