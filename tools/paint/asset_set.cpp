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

// "skin.png" at scale 2 is "skin@2x.png".
QString file_name(const char* name, int scale) {
  QString file = QString::fromLatin1(name);
  if (scale != 1) file.insert(file.lastIndexOf('.'), QStringLiteral("@%1x").arg(scale));
  return file;
}

}  // namespace

AssetSet::AssetSet() : scales_{paint_at(1), paint_at(2)} {}

AssetSet::Pictures AssetSet::paint_at(int scale) {
  Pictures p;
  p.skin = SkinPainter().paint({kFrameLights[0], 0}, scale);
  p.strip = build_strip(p.skin, scale);
  for (std::size_t i = 0; i < kButtons.size(); ++i)
    p.pressed[i] = build_pressed_face(p.skin, i, scale);
  return p;
}

QImage AssetSet::build_strip(const QImage& skin, int scale) {
  QImage strip(kSkinWidth * scale, kFrameHeight * kFrameCount * scale, QImage::Format_RGB32);
  QPainter painter(&strip);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect top(0, 0, kSkinWidth * scale, kFrameHeight * scale);
  const QRect box(kAnimationBox.topLeft() * scale, kAnimationBox.size() * scale);
  for (int n = 0; n < kFrameCount; ++n) {
    const QPoint origin(0, n * kFrameHeight * scale);
    painter.setClipping(false);
    painter.drawImage(origin, skin, top);
    if (n == 0) {
      continue;
    }
    // Only the lit glass changes; the rest of the frame stays the skin's.
    const QImage lit = SkinPainter().paint({kFrameLights[static_cast<std::size_t>(n)], n}, scale);
    painter.setClipRect(box.translated(origin));
    painter.drawImage(origin, lit, top);
  }
  return strip;
}

QImage AssetSet::build_pressed_face(const QImage& skin, std::size_t button, int scale) {
  const ButtonPlace& place = kButtons[button];
  // The whole square moves one pixel right; its first column repeats the
  // skin's column just left of the square.
  const int size = kButtonSize * scale;
  QImage face(size, size, QImage::Format_RGB32);
  QPainter painter(&face);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(0, 0), skin,
                    QRect((place.square - QPoint(1, 0)) * scale, QSize(size, size)));
  painter.end();
  face.setDevicePixelRatio(scale);
  painter.begin(&face);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre = button_centre(QPoint(1, 0));
  ButtonPainter(centre, place.symbol).paint_pressed_face(painter);
  painter.end();
  face.setDevicePixelRatio(1);
  return face;
}

QString AssetSet::write_at(const Pictures& pictures, const QString& folder, int scale) {
  const QDir dir(folder);
  const auto save = [&](const QImage& image, const char* name) {
    const QString file = file_name(name, scale);
    return save_rgb(image, dir.filePath(file)) ? QString() : file;
  };
  QString failed = save(pictures.skin, "skin.png");
  if (failed.isEmpty()) failed = save(pictures.strip, "ani_strip.png");
  for (std::size_t i = 0; i < kButtons.size() && failed.isEmpty(); ++i) {
    failed = save(pictures.pressed[i], kButtons[i].pressed_file);
  }
  return failed;
}

QString AssetSet::write(const QString& folder) const {
  for (std::size_t i = 0; i < scales_.size(); ++i) {
    QString failed = write_at(scales_[i], folder, static_cast<int>(i) + 1);
    if (!failed.isEmpty()) return failed;
  }
  return {};
}

}  // namespace wavorin::paint
