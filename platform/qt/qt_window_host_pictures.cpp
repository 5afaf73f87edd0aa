// The window host's pictures: chosen for the device pixel ratio, decoded
// when needed, copied between surfaces in window pixels, and drawn again when
// the ratio changes.
#include <QGuiApplication>
#include <QWindow>

#include "platform/qt/device_outline.h"
#include "platform/qt/form_widget.h"
#include "platform/qt/qpa_choice.h"
#include "platform/qt/qt_window_host.h"
#include "platform/qt/surface.h"

namespace wavorin {

QImage* QtWindowHost::surface(Handle dc) {
  if (dc == kFormDc) return &scene_.retained();
  if (dc == kPictureBoxDc) load_picture_box();
  if (dc == kPictureBoxDc && !picture_box_.isNull()) return &picture_box_;
  return nullptr;
}

void QtWindowHost::load_picture_of(Element element) {
  ImageElement* image = scene_.image(element);
  const auto path = picture_paths_.find(element);
  if (image == nullptr || !image->picture.isNull() || path == picture_paths_.end()) return;
  image->picture = pictures_.picture(path->second);
}

void QtWindowHost::load_picture_box() {
  if (!picture_box_.isNull() || hDC(Element::ani_p) == 0) return;
  const QImage picture = pictures_.load(picture_box_path_);
  picture_box_ = make_surface(
      picture.size().expandedTo(to_device(picture_box_rect_, pictures_.ratio()).size()), picture);
}

void QtWindowHost::load_remaining_pictures() {
  for (const auto& [element, path] : picture_paths_) load_picture_of(element);
}

QRect QtWindowHost::copy(const BlitRecord& blit) {
  QImage* to = surface(blit.dest);
  const QImage* from = surface(blit.src);
  if (to == nullptr || from == nullptr) return {};
  // Window pixels become device pixels edge by edge, so a block covers the
  // same device pixels as the pictures' own layout.
  const double r = pictures_.ratio();
  if (r == 1.0) {
    const QRect changed =
        copy_block(*to, blit.x, blit.y, blit.width, blit.height, *from, blit.src_x, blit.src_y);
    if (blit.dest == kFormDc && !changed.isEmpty()) scene_.mark_dirty(changed);
    return changed;
  }
  const auto edge = [r](long long at) { return to_device_edge(at, r); };
  const int x = edge(blit.x);
  const int y = edge(blit.y);
  const int src_x = edge(blit.src_x);
  const int src_y = edge(blit.src_y);
  const int width = blit.width <= 0 ? 0 : edge(static_cast<long long>(blit.x) + blit.width) - x;
  const int height = blit.height <= 0 ? 0 : edge(static_cast<long long>(blit.y) + blit.height) - y;
  const QRect changed = copy_block(*to, x, y, width, height, *from, src_x, src_y);
  if (blit.dest == kFormDc && !changed.isEmpty()) scene_.mark_dirty(to_window(changed, r));
  return changed;
}

void QtWindowHost::apply_outline() {
  if (!outline_) {
    scene_.set_coverage({});
    widget_->clearMask();
    if (native_shape_) clear_native_shape(*widget_);
    native_shape_ = false;
    set_draws_own_edge(*widget_, false);
    widget_->update();
    return;
  }
  const double r = pictures_.ratio();
  const QRegion device = outline_->at(r);
  if (compositor_.active()) {
    // The edge is blended through alpha: the widget's own mask would keep
    // the edge pixels just outside the one-bit outline from being painted.
    // Worked out once per outline, ratio and size: a few milliseconds at 2x.
    if (coverage_.isNull() || coverage_ratio_ != r ||
        coverage_.size() != scene_.retained().size()) {
      coverage_ = outline_->coverage(r, scene_.retained().size());
      coverage_ratio_ = r;
    }
    scene_.set_coverage(coverage_);
    widget_->clearMask();
    // Wayland: the input region. X11: replaced by the native shape below.
    if (QWindow* window = widget_->windowHandle(); window != nullptr && on_wayland())
      window->setMask(outline_pixels_);
    // X11: the whole window is shown, so every pixel of it is the program's
    // own (transparent outside the cabinet): a compositor that keeps pixels
    // outside a window's shape shows no stale ones after a move. Only the
    // outline takes the mouse.
    native_bounding_.reset();
  } else {
    scene_.set_coverage({});
    widget_->setMask(outline_pixels_);
    native_bounding_ = device;
  }
  native_input_ = device;
  native_shape_ = set_native_shape(*widget_, native_bounding_, native_input_);
  set_draws_own_edge(*widget_, compositor_.active());
  widget_->update();
}

void QtWindowHost::cut_native_window_again() {
  if (native_shape_) set_native_shape(*widget_, native_bounding_, native_input_);
}

void QtWindowHost::use_device_ratio(double ratio) {
  if (ratio <= 0 || ratio == pictures_.ratio()) return;
  pictures_ = PictureSet(ratio);
  const QSize stored(description_.stored_inside_width_px, description_.stored_inside_height_px);
  scene_.reset(stored.expandedTo(widget_->size()), pictures_.load(description_.background), ratio);
  for (const auto& [element, path] : picture_paths_) {
    ImageElement* image = scene_.image(element);
    if (image != nullptr && !image->picture.isNull()) image->picture = pictures_.picture(path);
  }
  if (!picture_box_.isNull()) {
    picture_box_ = QImage();
    load_picture_box();
  }
  for (BlitRecord& blit : blits_.records()) blit.written = copy(blit);
  scene_.take_dirty();
  apply_outline();
  widget_->update();
}

}  // namespace wavorin
