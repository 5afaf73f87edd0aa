#pragma once

#include <QPoint>

namespace wavorin {

// The move loop a caption drag starts, done by the host where the window
// system leaves it to the client: the window follows the pointer exactly,
// measured from the press that began the drag, so no motion before the drag
// started is lost.
class WindowDrag {
 public:
  // Every left press: where the pointer (screen pixels) and the window were.
  void press(QPoint pointer, QPoint window);
  void start() { active_ = true; }
  void stop() { active_ = false; }
  bool active() const { return active_; }
  // The window position for the pointer at `pointer`.
  QPoint window_position(QPoint pointer) const {
    return window_at_press_ + (pointer - pointer_at_press_);
  }

 private:
  QPoint pointer_at_press_;
  QPoint window_at_press_;
  bool active_ = false;
};

}  // namespace wavorin
