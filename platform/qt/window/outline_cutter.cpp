#include "platform/qt/window/outline_cutter.h"

#include <QWindow>

#include "platform/qt/drawing/device_outline.h"
#include "platform/qt/startup/qpa_choice.h"
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
}

void OutlineCutter::apply(double ratio) {
  ratio_ = ratio;
  if (!outline_) {
    scene_.set_coverage({});
    widget_.clearMask();
    if (native_shape_) clear_native_shape(widget_);
    native_shape_ = false;
    set_draws_own_edge(widget_, false);
    widget_.update();
    return;
  }
  const QRegion device = outline_->at(ratio);
  if (compositor_.active()) {
    // The edge is blended through alpha: the widget's own mask would keep
    // the edge pixels just outside the one-bit outline from being painted.
    // Worked out once per outline, ratio and size: a few milliseconds at 2x.
    if (coverage_.isNull() || coverage_ratio_ != ratio ||
        coverage_.size() != scene_.retained().size()) {
      coverage_ = outline_->coverage(ratio, scene_.retained().size());
      coverage_ratio_ = ratio;
    }
    scene_.set_coverage(coverage_);
    widget_.clearMask();
    // Wayland: the input region. X11: replaced by the native shape below.
    if (QWindow* window = widget_.windowHandle(); window != nullptr && on_wayland())
      window->setMask(outline_pixels_);
    // X11: the whole window is shown, so every pixel of it is the program's
    // own (transparent outside the cabinet): a compositor that keeps pixels
    // outside a window's shape shows no stale ones after a move. Only the
    // outline takes the mouse.
    native_bounding_.reset();
  } else {
    scene_.set_coverage({});
    widget_.setMask(outline_pixels_);
    native_bounding_ = device;
  }
  native_input_ = device;
  native_shape_ = set_native_shape(widget_, native_bounding_, native_input_);
  set_draws_own_edge(widget_, compositor_.active());
  widget_.update();
}

void OutlineCutter::cut_again() {
  if (native_shape_) set_native_shape(widget_, native_bounding_, native_input_);
}

}  // namespace wavorin
