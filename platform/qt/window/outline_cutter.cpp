#include "platform/qt/window/outline_cutter.h"

#include <QTimer>
#include <QWindow>
#include <cmath>

#include "platform/qt/drawing/device_outline.h"
#include "platform/qt/startup/qpa_choice.h"
#include "platform/qt/window/cabinet_shadow.h"
#include "platform/qt/window/form_scene.h"
#include "platform/qt/window/form_widget.h"

namespace wavorin {

OutlineCutter::OutlineCutter(FormWidget& widget, FormScene& scene)
    : widget_(widget), scene_(scene) {
  QObject::connect(&compositor_, &CompositorWatch::changed, &widget_, [this] { apply(ratio_); });
}

void OutlineCutter::set_outline(const std::optional<RegionShape>& outline, const QRegion& pixels) {
  outline_ = outline;
  outline_pixels_ = pixels;
  coverage_ = QImage();
  shadow_ = QImage();
}

void OutlineCutter::apply(double ratio) {
  ratio_ = ratio;
  if (!outline_) {
    margin_ = 0;
    widget_.set_shadow(0, {});
    scene_.set_coverage({});
    widget_.clearMask();
    if (native_shape_) clear_native_shape(widget_);
    native_shape_ = false;
    set_draws_own_edge(widget_, false);
    widget_.update();
    return;
  }
  const bool composited = compositor_.active();
  margin_ = composited && !on_wayland() && !compositor_.on_xwayland() ? kShadowReach : 0;
  // The native window's pixels are device pixels: the margin in them.
  const int device_margin = static_cast<int>(std::lround(margin_ * ratio));
  const QRegion device = outline_->at(ratio).translated(device_margin, device_margin);
  if (composited) {
    // The edge is blended through alpha: the widget's own mask would keep
    // the edge pixels just outside the one-bit outline from being painted.
    // Worked out once per outline, ratio and size: a few milliseconds at 2x.
    if (coverage_.isNull() || coverage_ratio_ != ratio ||
        coverage_.size() != scene_.retained().size()) {
      coverage_ = outline_->coverage(ratio, scene_.retained().size());
      coverage_ratio_ = ratio;
      shadow_ = QImage();
    }
    if (margin_ > 0 && shadow_.isNull()) shadow_ = cabinet_shadow(coverage_, device_margin, ratio);
    scene_.set_coverage(coverage_);
    widget_.set_shadow(margin_, margin_ > 0 ? shadow_ : QImage());
    widget_.clearMask();
    // Wayland: the input region. X11: replaced by the native shape below.
    if (QWindow* window = widget_.windowHandle(); window != nullptr && on_wayland())
      window->setMask(outline_pixels_.translated(margin_, margin_));
    // X11: the whole window is shown, so every pixel of it is the program's
    // own (transparent outside the cabinet): a compositor that keeps pixels
    // outside a window's shape shows no stale ones after a move. Only the
    // outline takes the mouse.
    native_bounding_.reset();
  } else {
    widget_.set_shadow(0, {});
    scene_.set_coverage({});
    widget_.setMask(outline_pixels_);
    native_bounding_ = device;
  }
  native_input_ = device;
  native_shape_ = set_native_shape(widget_, native_bounding_, native_input_);
  set_draws_own_edge(widget_, composited, device_margin);
  widget_.update();
}

void OutlineCutter::cut_again() {
  if (!native_shape_) return;
  set_native_shape(widget_, native_bounding_, native_input_);
  if (compositor_.active()) announce_opaque_when_watched();
}

void OutlineCutter::announce_opaque_when_watched() {
  // Asked every 20 ms for up to 4 s: the compositor takes the frame in as
  // soon as the window manager shows it, a moment after the window's first
  // paint at most.
  auto* poll = new QTimer(&widget_);
  poll->setInterval(20);
  QObject::connect(poll, &QTimer::timeout, poll, [this, poll, tries = 0]() mutable {
    const bool watched = frame_properties_watched(widget_);
    if (watched) announce_opaque(widget_);
    if (watched || ++tries == 200) poll->deleteLater();
  });
  poll->start();
}

}  // namespace wavorin
