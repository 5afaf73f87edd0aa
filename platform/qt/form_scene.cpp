#include "platform/qt/form_scene.h"

#include <QPainter>
#include <algorithm>
#include <utility>

#include "platform/qt/surface.h"

namespace wavorin {

FormScene::FormScene(QSize inside, const QImage& skin) : retained_(make_surface(inside, skin)) {}

void FormScene::grow_to(QSize inside) { grow_surface(retained_, inside); }

void FormScene::add_image(ImageElement image) { images_.push_back(std::move(image)); }

ImageElement* FormScene::image(Element element) {
  const auto it = std::find_if(images_.begin(), images_.end(),
                               [element](const ImageElement& i) { return i.element == element; });
  return it == images_.end() ? nullptr : &*it;
}

const ImageElement* FormScene::image(Element element) const {
  const auto it = std::find_if(images_.begin(), images_.end(),
                               [element](const ImageElement& i) { return i.element == element; });
  return it == images_.end() ? nullptr : &*it;
}

const ImageElement* FormScene::image_at(QPoint point) const {
  const auto it = std::find_if(images_.rbegin(), images_.rend(), [point](const ImageElement& i) {
    return i.visible && i.rect.contains(point);
  });
  return it == images_.rend() ? nullptr : &*it;
}

void FormScene::paint(QPainter& painter, const QRegion& area) const {
  for (const QRect& rect : area) painter.drawImage(rect.topLeft(), retained_, rect);
  const QRect bounds = area.boundingRect();
  for (const ImageElement& image : images_) {
    if (!image.visible || image.picture.isNull() || !image.rect.intersects(bounds)) continue;
    painter.save();
    painter.setClipRect(image.rect, Qt::IntersectClip);
    painter.drawImage(image.rect.topLeft(), image.picture);
    painter.restore();
  }
}

QRegion FormScene::take_dirty() { return std::exchange(dirty_, QRegion()); }

}  // namespace wavorin
