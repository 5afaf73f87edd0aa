#pragma once

#include <QImage>
#include <QRegion>
#include <utility>
#include <vector>

#include "platform/qt/drawing/image_element.h"

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
  // The share of each device pixel that the window shows, as an Alpha8
  // picture: painting multiplies every pixel by it, so the outside comes out
  // transparent and the edge blends. A null picture: the window is opaque.
  void set_coverage(QImage coverage) { coverage_ = std::move(coverage); }
  const QImage& coverage() const { return coverage_; }

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
  // Last, over whatever was painted in `area`: multiplies it by the coverage.
  void apply_coverage(QPainter& painter, const QRegion& area) const;

  // Parts of the retained image drawn since the last refresh.
  void mark_dirty(const QRect& rect) { dirty_ += rect; }
  QRegion take_dirty();

 private:
  // The device pixels a block of window pixels touches.
  QRect device_block(const QRect& rect) const;

  double ratio_;
  QImage retained_;
  std::vector<ImageElement> images_;
  QRegion dirty_;
  QImage coverage_;
};

}  // namespace wavorin
