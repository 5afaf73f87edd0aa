#include "platform/qt/window/form_pictures.h"

#include "platform/qt/drawing/surface.h"
#include "platform/qt/window/form_scene.h"

namespace wavorin {

void FormPictures::start_scene(QSize inside, const std::string& skin) {
  scene_.reset(inside, pictures_.load(skin), pictures_.ratio());
}

void FormPictures::set_picture_box(const QRect& rect, const std::string& path) {
  picture_box_rect_ = rect;
  picture_box_path_ = path;
}

void FormPictures::move_picture_box(const QRect& rect) {
  picture_box_rect_ = rect;
  if (!picture_box_.isNull()) grow_surface(picture_box_, to_device(rect, pictures_.ratio()).size());
}

QImage* FormPictures::surface(Handle dc) {
  if (dc == kFormDc) return &scene_.retained();
  if (dc == kPictureBoxDc) load_picture_box();
  if (dc == kPictureBoxDc && !picture_box_.isNull()) return &picture_box_;
  return nullptr;
}

void FormPictures::load_picture_of(Element element) {
  ImageElement* image = scene_.image(element);
  const auto path = image_paths_.find(element);
  if (image == nullptr || !image->picture.isNull() || path == image_paths_.end()) return;
  image->picture = pictures_.picture(path->second);
}

void FormPictures::load_picture_box() {
  if (!picture_box_.isNull() || !has_picture_box()) return;
  const QImage picture = pictures_.load(picture_box_path_);
  picture_box_ = make_surface(
      picture.size().expandedTo(to_device(picture_box_rect_, pictures_.ratio()).size()), picture);
}

void FormPictures::load_remaining_pictures() {
  for (const auto& [element, path] : image_paths_) load_picture_of(element);
}

bool FormPictures::copy_block(const BlitRecord& blit) {
  if (surface(blit.dest) == nullptr || surface(blit.src) == nullptr) return false;
  BlitRecord record = blit;
  record.written = copy(record);
  blits_.add(record);
  return true;
}

QRect FormPictures::copy(const BlitRecord& blit) {
  QImage* to = surface(blit.dest);
  const QImage* from = surface(blit.src);
  if (to == nullptr || from == nullptr) return {};
  // Window pixels become device pixels edge by edge, so a block covers the
  // same device pixels as the pictures' own layout.
  const double r = pictures_.ratio();
  if (r == 1.0) {
    const QRect changed = wavorin::copy_block(*to, blit.x, blit.y, blit.width, blit.height, *from,
                                              blit.src_x, blit.src_y);
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
  const QRect changed = wavorin::copy_block(*to, x, y, width, height, *from, src_x, src_y);
  if (blit.dest == kFormDc && !changed.isEmpty()) scene_.mark_dirty(to_window(changed, r));
  return changed;
}

void FormPictures::use_ratio(double ratio, QSize inside, const std::string& skin) {
  pictures_ = PictureSet(ratio);
  scene_.reset(inside, pictures_.load(skin), ratio);
  for (const auto& [element, path] : image_paths_) {
    ImageElement* image = scene_.image(element);
    if (image != nullptr && !image->picture.isNull()) image->picture = pictures_.picture(path);
  }
  if (!picture_box_.isNull()) {
    picture_box_ = QImage();
    load_picture_box();
  }
  for (BlitRecord& blit : blits_.records()) blit.written = copy(blit);
  scene_.take_dirty();
}

}  // namespace wavorin
