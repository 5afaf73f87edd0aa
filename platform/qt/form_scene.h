#pragma once

#include <QImage>
#include <QRegion>
#include <vector>

#include "platform/qt/image_element.h"

class QPainter;

namespace wavorin {

// What the window shows: its retained image (what the program has drawn,
// kept until drawn over) with the shown Images on top in stored order.
class FormScene {
 public:
  FormScene(QSize inside, const QImage& skin);

  QImage& retained() { return retained_; }
  const QImage& retained() const { return retained_; }
  // Keeps the retained image at least as large as the window's inside.
  void grow_to(QSize inside);

  void add_image(ImageElement image);
  ImageElement* image(Element element);
  const ImageElement* image(Element element) const;
  // The topmost shown Image containing `point`, or nullptr.
  const ImageElement* image_at(QPoint point) const;

  void paint(QPainter& painter, const QRegion& area) const;

  // Parts of the retained image drawn since the last refresh.
  void mark_dirty(const QRect& rect) { dirty_ += rect; }
  QRegion take_dirty();

 private:
  QImage retained_;
  std::vector<ImageElement> images_;
  QRegion dirty_;
};

}  // namespace wavorin
