#include "tools/paint/icon_painter.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "platform/app_identity.h"
#include "tools/paint/chrome.h"
#include "tools/paint/skin_geometry.h"

namespace wavorin::paint {
namespace {

using namespace geometry;

constexpr int kFullArtFrom = 48;

// The window's outline in skin pixels, from the same boxes the program cuts
// the window with, as a path, so its edge is smooth.
QPainterPath outline_path() {
  const auto rect = [](const layout::PixelBox& box) {
    return QRectF(box.left, box.top, box.right - box.left, box.bottom - box.top);
  };
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path.addEllipse(rect(layout::kOutlineDisc));
  for (const layout::PixelBox& box :
       {layout::kOutlineBody, layout::kOutlineLeftFoot, layout::kOutlineRightFoot})
    path.addRect(rect(box));
  return path.simplified();
}

// The icon files hold straight (not premultiplied) colour, each channel
// c * 255 / alpha rounded to nearest, halves up. Qt's own conversion divides
// with the processor's approximate reciprocal (rcpps, on SSE4.1 and later),
// whose estimate differs between processor models: a channel that lands
// exactly halfway, such as 25 * 255 / 170 = 37.5, became 37 on one machine
// and 38 on the next. In integers every machine writes the same file.
QImage unpremultiplied(const QImage& painted) {
  const QImage premultiplied = painted.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QImage straight(premultiplied.size(), QImage::Format_ARGB32);
  for (int y = 0; y < premultiplied.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(straight.scanLine(y));
    for (int x = 0; x < premultiplied.width(); ++x) {
      const int alpha = qAlpha(from[x]);
      const auto channel = [alpha](int c) { return (c * 255 + alpha / 2) / alpha; };
      to[x] = alpha == 0 ? 0u
                         : qRgba(channel(qRed(from[x])), channel(qGreen(from[x])),
                                 channel(qBlue(from[x])), alpha);
    }
  }
  return straight;
}

}  // namespace

QImage IconPainter::paint(int size) const {
  return size >= kFullArtFrom ? from_skin(size) : simple(size);
}

QImage IconPainter::from_skin(int size) const {
  // The skin with everything outside the outline made transparent.
  QImage cut(skin_.size(), QImage::Format_ARGB32_Premultiplied);
  cut.fill(Qt::transparent);
  {
    // The skin may be drawn at a multiple of its window size; the outline
    // is in window pixels.
    const qreal scale = static_cast<qreal>(skin_.width()) / kSkinWidth;
    QPainter painter(&cut);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setClipPath(outline_path());
    painter.drawImage(QRectF(0, 0, kSkinWidth, kSkinHeight), skin_);
  }
  // Tall as the square allows, less a margin for the theme's breathing room.
  const int margin = size / 32;
  const QImage scaled = cut.scaled(size - 2 * margin, size - 2 * margin, Qt::KeepAspectRatio,
                                   Qt::SmoothTransformation);
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.drawImage(QPoint((size - scaled.width()) / 2, (size - scaled.height()) / 2), scaled);
  return icon;
}

// Drawn on a 16-unit grid and scaled, so the parts sit on whole pixels at 16
// and on whole half pixels above: the arch with its lit glass on top, the
// button plate across the middle, the wood with its grille below, two feet.
QImage IconPainter::simple(int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  painter.setPen(Qt::NoPen);

  const QRectF dome(1, 0, 14, 14);  // the arch's circle; its centre line is the plate's top
  QPainterPath cabinet;
  cabinet.setFillRule(Qt::WindingFill);
  cabinet.addEllipse(dome);
  cabinet.addRect(QRectF(1, 7, 14, 8));
  painter.setBrush(chrome::kEdgeLine);
  painter.drawPath(cabinet.simplified());
  painter.setBrush(chrome::gradient(chrome::Finish::Chrome, QPointF(1, 0), QPointF(15, 14)));
  painter.drawEllipse(dome.adjusted(0.8, 0.8, -0.8, -0.8));
  QRadialGradient glass(QPointF(7, 5), 5.5);
  glass.setColorAt(0.0, QColor(235, 255, 200));
  glass.setColorAt(0.4, QColor(60, 220, 90));
  glass.setColorAt(1.0, QColor(15, 100, 45));
  painter.setBrush(glass);
  painter.drawEllipse(dome.adjusted(2.5, 2.5, -2.5, -2.5));
  // The red clasp at the top of the arch.
  painter.setBrush(QColor(200, 30, 40));
  painter.drawRect(QRectF(7, 0.5, 2, 1.5));

  // Wood below the plate, with the grille's lattice over dark cloth.
  QLinearGradient wood(QPointF(0, 9), QPointF(0, 14));
  wood.setColorAt(0.0, QColor(165, 95, 50));
  wood.setColorAt(1.0, QColor(110, 55, 25));
  painter.setBrush(wood);
  painter.drawRect(QRectF(2, 9.5, 12, 4.5));
  painter.setBrush(QColor(40, 35, 35));
  painter.drawRect(QRectF(5, 10, 6, 3.5));
  painter.setBrush(QColor(150, 150, 155));
  for (const double x : {6.0, 8.0, 10.0}) painter.drawRect(QRectF(x, 10, 0.6, 3.5));
  // Chrome columns banded in red at both sides.
  for (const double x : {1.0, 14.0}) {
    painter.setBrush(chrome::gradient(chrome::Finish::Chrome, QPointF(x, 0), QPointF(x + 1, 0)));
    painter.drawRect(QRectF(x, 9, 1, 5));
    painter.setBrush(QColor(200, 30, 40));
    painter.drawRect(QRectF(x, 11, 1, 1));
  }
  // The button plate across the middle, with four blue buttons.
  painter.setBrush(chrome::gradient(chrome::Finish::Chrome, QPointF(0, 7), QPointF(0, 9.5)));
  painter.drawRect(QRectF(1, 7, 14, 2.5));
  painter.setBrush(QColor(40, 70, 200));
  for (const double x : {3.0, 6.0, 9.0, 12.0}) painter.drawRect(QRectF(x, 7.75, 1, 1));
  // The base bar and the feet.
  painter.setBrush(chrome::kEdgeLine);
  painter.drawRect(QRectF(1, 14, 14, 1));
  painter.setBrush(chrome::gradient(chrome::Finish::Chrome, QPointF(0, 15), QPointF(0, 16)));
  painter.drawRect(QRectF(1, 15, 3, 1));
  painter.drawRect(QRectF(12, 15, 3, 1));
  return icon;
}

QString IconPainter::write(const QString& folder) const {
  for (const int size : kIconSizes) {
    const QString dir = QDir(folder).filePath(QString::number(size));
    const QString name = QString::fromUtf8(kApplicationId) + QStringLiteral(".png");
    if (!QDir().mkpath(dir) ||
        !unpremultiplied(paint(size)).save(QDir(dir).filePath(name), "PNG")) {
      return QString::number(size) + "/" + name;
    }
  }
  return {};
}

}  // namespace wavorin::paint
