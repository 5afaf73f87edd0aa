#pragma once

#include <QRect>
#include <vector>

#include "platform/window_description.h"

class QWidget;

namespace wavorin {

// The window's position and outer size, and the screens, in twips: 1440 per
// logical inch of the window's screen. Positions round to whole pixels. Works
// before the window is first shown.
class WindowMetrics {
 public:
  explicit WindowMetrics(QWidget& window) : window_(window) {}

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
};

}  // namespace wavorin
