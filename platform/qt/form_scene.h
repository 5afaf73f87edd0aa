#pragma once

#include <QImage>
#include <QRegion>
#include <vector>

#include "platform/qt/image_element.h"

class QPainter;

namespace wavorin {

// What the window shows: its retained image (what the program has drawn,
// kept until drawn over) with the shown Images on top in stored order.
// Positions are window pixels; the retained image and the Images' pictures
// are device pixels, `ratio` of them to a window pixel.
class FormScene {
 public:
  FormScene(QSize inside, const QImage& skin, double ratio = 1.0);

  double ratio() const { return ratio_; }
  // Starts the retained image again from `skin` at another ratio.
  void reset(QSize inside, const QImage& skin, double ratio);
  // Where painting leaves the window transparent: everything outside
  // `device_outline` (device pixels). Empty: the window is opaque.
  void set_transparent_outside(const QRegion& device_outline) { outline_ = device_outline; }

  QImage& retained() { return retained_; }
  const QImage& retained() const { return retained_; }
  // Keeps the retained image at least as large as the window's inside.
  void grow_to(QSize inside);

  void add_image(ImageElement image);
  ImageElement* image(Element element);
  const ImageElement* image(Element element) const;
  // The topmost shown Image containing `point`, or nullptr.
  const ImageElement* image_at(QPoint point) const;

  // `area` is window pixels; the painter's device has the scene's ratio.
  void paint(QPainter& painter, const QRegion& area) const;

  // Parts of the retained image drawn since the last refresh.
  void mark_dirty(const QRect& rect) { dirty_ += rect; }
  QRegion take_dirty();

 private:
  double ratio_;
  QImage retained_;
  std::vector<ImageElement> images_;
  QRegion dirty_;
  QRegion outline_;
};

}  // namespace wavorin
