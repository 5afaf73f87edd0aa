#include "tools/paint/asset_set.h"

#include <QDir>
#include <QPainter>

#include "tools/paint/plate_painter.h"
#include "tools/paint/skin_geometry.h"
#include "tools/paint/skin_painter.h"

namespace wavorin::paint {
namespace {

using namespace geometry;

// The lamp colour of each animation frame, in order.
const std::array<QColor, kFrameCount> kFrameLights{{
    {60, 220, 90},    // green
    {235, 50, 50},    // red
    {245, 245, 240},  // white
    {60, 110, 245},   // blue
    {60, 220, 90},    // green
    {235, 50, 50},    // red
    {250, 140, 200},  // pink
    {150, 60, 210},   // purple
}};

bool save_rgb(const QImage& image, const QString& path) {
  return image.convertToFormat(QImage::Format_RGB888).save(path, "PNG");
}

}  // namespace

AssetSet::AssetSet() : skin_(SkinPainter().paint({kFrameLights[0], 0})) {
  build_strip();
  build_pressed_faces();
}

void AssetSet::build_strip() {
  strip_ = QImage(kSkinWidth, kFrameHeight * kFrameCount, QImage::Format_RGB32);
  QPainter painter(&strip_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect top(0, 0, kSkinWidth, kFrameHeight);
  for (int n = 0; n < kFrameCount; ++n) {
    const QPoint origin(0, n * kFrameHeight);
    painter.setClipping(false);
    painter.drawImage(origin, skin_, top);
    if (n == 0) {
      continue;
    }
    // Only the lit glass changes; the rest of the frame stays the skin's.
    const QImage lit = SkinPainter().paint({kFrameLights[static_cast<std::size_t>(n)], n});
    painter.setClipRect(kAnimationBox.translated(origin));
    painter.drawImage(origin, lit, top);
  }
}

void AssetSet::build_pressed_faces() {
  for (std::size_t i = 0; i < kButtons.size(); ++i) {
    const ButtonPlace& button = kButtons[i];
    // The whole square moves one pixel right; its first column repeats the
    // skin's column just left of the square.
    QImage face(kButtonSize, kButtonSize, QImage::Format_RGB32);
    QPainter painter(&face);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), skin_,
                      QRect(button.square - QPoint(1, 0), QSize(kButtonSize, kButtonSize)));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = button_centre(QPoint(1, 0));
    ButtonPainter(centre, button.symbol).paint_pressed_face(painter);
    painter.end();
    pressed_[i] = face;
  }
}

QString AssetSet::write(const QString& folder) const {
  const QDir dir(folder);
  if (!save_rgb(skin_, dir.filePath("skin.png"))) {
    return "skin.png";
  }
  if (!save_rgb(strip_, dir.filePath("ani_strip.png"))) {
    return "ani_strip.png";
  }
  for (std::size_t i = 0; i < kButtons.size(); ++i) {
    if (!save_rgb(pressed_[i], dir.filePath(kButtons[i].pressed_file))) {
      return kButtons[i].pressed_file;
    }
  }
  return {};
}

}  // namespace wavorin::paint
