#pragma once

#include <QImage>
#include <QRegion>
#include <optional>

#include "platform/qt/drawing/region_shape.h"
#include "platform/qt/window/compositor_watch.h"

namespace wavorin {

class FormScene;
class FormWidget;

// Cuts the window to the outline the program gave, by what the desktop
// offers: without a compositor a one-bit shape at device pixels; where one
// draws the desktop, the whole window with its edge blended through alpha
// and only the outline taking the mouse, and on X11 a margin around the
// cabinet in which it casts its own soft shadow, as the toolkits' windows
// do there. Not on XWayland, where the margin would take the focus from the
// window behind, nor for a native Wayland client, whose toolkit here offers
// no public way to tell the compositor where in its surface the window is.
class OutlineCutter {
 public:
  // Needs a QApplication; follows the compositor as it comes and goes.
  OutlineCutter(FormWidget& widget, FormScene& scene);

  // The outline as the program made it, and its window pixels; none: the
  // whole window shows.
  void set_outline(const std::optional<RegionShape>& outline, const QRegion& pixels);
  // Cuts the window for the outline, the ratio and the compositor as they
  // are now.
  void apply(double ratio);
  // The same shapes once more, once the window manager has taken the
  // window: one that frames it (openbox) copies the input shape to its
  // frame only when told of a change after it began watching; the same
  // holds for the opacity a compositor is told.
  void cut_again();

  // Window pixels around the cabinet, on every side, in which it casts its
  // shadow now.
  int shadow_margin() const { return margin_; }

 private:
  void announce_opaque_when_watched();

  FormWidget& widget_;
  FormScene& scene_;
  std::optional<RegionShape> outline_;
  QRegion outline_pixels_;
  double ratio_ = 1.0;
  QImage coverage_;  // of the outline at coverage_ratio_; null: not worked out
  double coverage_ratio_ = 0;
  QImage shadow_;  // of the outline at coverage_ratio_; null: not worked out
  int margin_ = 0;
  bool native_shape_ = false;               // the outline was last cut at device pixels
  std::optional<QRegion> native_bounding_;  // none: the whole window shows
  QRegion native_input_;
  CompositorWatch compositor_;
};

}  // namespace wavorin
