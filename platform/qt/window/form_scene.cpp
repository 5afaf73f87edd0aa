#include "platform/qt/window/form_scene.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/qt/drawing/picture_set.h"
#include "platform/qt/drawing/surface.h"

namespace wavorin {

namespace {

QSize device_size(QSize inside, double ratio) {
  return to_device(QRect(QPoint(0, 0), inside), ratio).size();
}

// Window pixels spanned by `device` device pixels.
QRectF window_rect(const QRect& device, double ratio) {
  return {device.x() / ratio, device.y() / ratio, device.width() / ratio, device.height() / ratio};
}

}  // namespace

FormScene::FormScene(QSize inside, const QImage& skin, double ratio)
    : ratio_(ratio), retained_(make_surface(device_size(inside, ratio), skin)) {}

void FormScene::reset(QSize inside, const QImage& skin, double ratio) {
  ratio_ = ratio;
  retained_ = make_surface(device_size(inside, ratio), skin);
}

void FormScene::grow_to(QSize inside) { grow_surface(retained_, device_size(inside, ratio_)); }

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

// Whole device pixels are copied one to one: a block that starts half way
// through a device pixel takes that pixel whole.
QRect FormScene::device_block(const QRect& rect) const {
  return QRect(QPoint(static_cast<int>(std::floor(rect.x() * ratio_)),
                      static_cast<int>(std::floor(rect.y() * ratio_))),
               QPoint(static_cast<int>(std::ceil((rect.right() + 1) * ratio_)) - 1,
                      static_cast<int>(std::ceil((rect.bottom() + 1) * ratio_)) - 1))
      .intersected(retained_.rect());
}

void FormScene::paint(QPainter& painter, const QRegion& area) const {
  for (const QRect& rect : area) {
    const QRect device = device_block(rect);
    if (!device.isEmpty()) painter.drawImage(window_rect(device, ratio_), retained_, device);
  }
  const QRect bounds = area.boundingRect();
  for (const ImageElement& image : images_) {
    if (!image.visible || image.picture.isNull() || !image.rect.intersects(bounds)) continue;
    const QRect device = to_device(image.rect, ratio_);
    painter.save();
    painter.setClipRect(window_rect(device, ratio_), Qt::IntersectClip);
    painter.drawImage(window_rect(QRect(device.topLeft(), image.picture.size()), ratio_),
                      image.picture);
    painter.restore();
  }
}

void FormScene::apply_coverage(QPainter& painter, const QRegion& area) const {
  if (coverage_.isNull()) return;
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  for (const QRect& rect : area) {
    const QRect device = device_block(rect).intersected(coverage_.rect());
    if (!device.isEmpty()) painter.drawImage(window_rect(device, ratio_), coverage_, device);
  }
  painter.restore();
}

QRegion FormScene::take_dirty() { return std::exchange(dirty_, QRegion()); }

}  // namespace wavorin
