#pragma once

#include <QRect>
#include <vector>

#include "platform/window_description.h"

class QWidget;

namespace wavorin {

// The window's position and outer size, and the screens, in twips: 1440 per
// logical inch of the window's screen. Positions round to whole pixels. Works
// before the window is first shown.
// Where the window system does not tell a window where it is (a native
// Wayland client), the position is unknown: a position set is neither
// applied nor rounded but kept and read back as it was given, and no screen
// rectangles are reported, since none could be compared with it.
class WindowMetrics {
 public:
  explicit WindowMetrics(QWidget& window, bool position_known = true)
      : window_(window), position_known_(position_known) {}

  float twips_per_pixel_x() const;
  float twips_per_pixel_y() const;
  QRect to_pixels(const TwipRect& rect) const;
  TwipRect to_twips(const QRect& rect) const;

  float left() const;
  float top() const;
  float width() const;
  float height() const;
  void set_left(float twips);
  void set_top(float twips);
  void set_width(float twips);
  void set_height(float twips);

  std::vector<TwipRect> screens() const;
  TwipRect primary_work_area() const;

 private:
  QWidget& window_;
  bool position_known_;
  float unknown_left_ = 0;  // twips, as given, where the position is unknown
  float unknown_top_ = 0;
};

}  // namespace wavorin
