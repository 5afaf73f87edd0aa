#pragma once

#include <QImage>
#include <QRect>
#include <map>
#include <string>

#include "platform/handles.h"
#include "platform/qt/drawing/blit_log.h"
#include "platform/qt/drawing/picture_set.h"
#include "platform/window_description.h"

namespace wavorin {

class FormScene;

// The window's pictures and drawing surfaces: the skin in the scene, the
// Images' faces and the picture box's strip, chosen for the device pixel
// ratio, decoded when needed, copied between in window pixels, and drawn
// again when the ratio changes.
class FormPictures {
 public:
  // Fixed drawing-surface handles, far below the region range.
  static constexpr Handle kFormDc = 0x00020001;
  static constexpr Handle kPictureBoxDc = 0x00020002;

  FormPictures(FormScene& scene, double ratio) : scene_(scene), pictures_(ratio) {}

  double ratio() const { return pictures_.ratio(); }
  // Starts the scene from the skin at the current ratio.
  void start_scene(QSize inside, const std::string& skin);
  void add_image_picture(Element element, const std::string& path) { image_paths_[element] = path; }
  void set_picture_box(const QRect& rect, const std::string& path);
  bool has_picture_box() const { return !picture_box_path_.empty(); }
  // The picture box's surface grows with it, never shrinks.
  void move_picture_box(const QRect& rect);

  // An Image's face is decoded when first shown, or just after the window is
  // first shown, so start-up decodes only the skin. The strip, the largest
  // picture, waits until the animation first draws from it: a session that
  // plays nothing never holds it.
  void load_picture_of(Element element);
  void load_remaining_pictures();

  // BitBlt with SRCCOPY between the surfaces of two handles; false for an
  // unknown handle.
  bool copy_block(const BlitRecord& blit);
  // Decodes the pictures again for another ratio and repeats every copy the
  // program made, so the shown animation frame stays. `inside` is the
  // window's inside now.
  void use_ratio(double ratio, QSize inside, const std::string& skin);

 private:
  QImage* surface(Handle dc);
  void load_picture_box();
  // Returns the device pixels written.
  QRect copy(const BlitRecord& blit);

  FormScene& scene_;
  PictureSet pictures_;
  std::map<Element, std::string> image_paths_;
  QImage picture_box_;
  QRect picture_box_rect_;
  std::string picture_box_path_;
  BlitLog blits_;
};

}  // namespace wavorin
