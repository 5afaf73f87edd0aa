#include "tools/paint/trim_painter.h"

#include <QPainter>
#include <array>
#include <utility>

#include "tools/paint/chrome.h"
#include "tools/paint/skin_geometry.h"
#include "tools/paint/tube_shader.h"

namespace wavorin::paint {
namespace {

using namespace geometry;

// The columns continue the arch's legs below the plate and reach one pixel
// past the picture's sides, so the cut edge is solid chrome.
constexpr double kColumnHalf = (kColumnWidth + 1.0) / 2.0;
constexpr double kLeftColumnX = kColumnWidth - kColumnHalf;
constexpr double kRightColumnX = kSkinWidth - kColumnWidth + kColumnHalf;
constexpr int kColumnTop = kPlateBottom - 4;
constexpr std::array<int, 3> kBandTops{190, 238, 286};
constexpr int kBandHeight = 8;

TubePoint column_point(double x) {
  return x < kSkinWidth / 2.0 ? TubePoint{kLeftColumnX - x, -1.0, 0.0}
                              : TubePoint{x - kRightColumnX, 1.0, 0.0};
}

}  // namespace

void TrimPainter::paint(QImage& image) const {
  paint_columns(image);
  paint_bands(image);
  paint_base(image);
  paint_feet(image);
}

void TrimPainter::paint_columns(QImage& image) const {
  const TubeShader shader(kColumnHalf, chrome::Finish::Chrome);
  const QRect rows(0, kColumnTop, kSkinWidth, kBaseTop - kColumnTop);
  shader.paint(image, rows, [](double x, double) { return column_point(x); });
}

void TrimPainter::paint_bands(QImage& image) const {
  const TubeShader shader(kColumnHalf, chrome::Finish::RedBand);
  for (const int top : kBandTops) {
    shader.paint(image, QRect(0, top, kSkinWidth, kBandHeight),
                 [](double x, double) { return column_point(x); });
  }
  // Each band is a ring round the column: lit on top, dark underneath, with
  // a dark seam where it meets the chrome.
  QPainter painter(&image);
  for (const int top : kBandTops) {
    for (const QRectF column :
         {QRectF(0, top, kColumnWidth, kBandHeight),
          QRectF(kSkinWidth - kColumnWidth, top, kColumnWidth, kBandHeight)}) {
      QLinearGradient ring(column.topLeft(), column.bottomLeft());
      ring.setColorAt(0.0, QColor(255, 200, 190, 90));
      ring.setColorAt(0.3, QColor(255, 255, 255, 0));
      ring.setColorAt(0.7, QColor(0, 0, 0, 0));
      ring.setColorAt(1.0, QColor(40, 0, 0, 110));
      painter.fillRect(column, ring);
      painter.fillRect(QRectF(column.left(), top - 1.0, column.width(), 1.0),
                       chrome::with_alpha(chrome::kEdgeLine, 150));
      painter.fillRect(QRectF(column.left(), top + kBandHeight, column.width(), 1.0),
                       chrome::with_alpha(chrome::kEdgeLine, 190));
    }
  }
}

void TrimPainter::paint_base(QImage& image) const {
  constexpr double kHalf = (kCabinetBottom - kBaseTop) / 2.0;
  constexpr double kMiddle = kBaseTop + kHalf;
  const TubeShader shader(kHalf, chrome::Finish::Chrome);
  shader.paint(image, QRect(0, kBaseTop, kSkinWidth, kCabinetBottom - kBaseTop),
               [](double, double y) {
                 return TubePoint{y - kMiddle, 0.0, 1.0};
               });
}

void TrimPainter::paint_feet(QImage& image) const {
  constexpr int kFootHeight = kSkinHeight - kCabinetBottom;
  constexpr double kHalf = kFootHeight / 2.0;
  constexpr double kMiddle = kCabinetBottom + kHalf;
  // Slightly more than half the height, so the top and bottom rows are
  // fully covered rather than blended with the background.
  const TubeShader shader(kHalf + 0.01, chrome::Finish::Chrome);
  for (const int left : {0, kSkinWidth - kFootWidth}) {
    shader.paint(image, QRect(left, kCabinetBottom, kFootWidth, kFootHeight), [](double, double y) {
      return TubePoint{y - kMiddle, 0.0, 1.0};
    });
  }
  // The cabinet's shadow on the feet, and their inner ends: an edge line
  // with a shaded column beside it, mirrored, so each reads as a block. The
  // right foot's end lies on the first column the outline keeps.
  QPainter painter(&image);
  for (const int left : {0, kSkinWidth - kFootWidth}) {
    painter.fillRect(QRect(left, kCabinetBottom, kFootWidth, 1), QColor(0, 0, 0, 70));
  }
  for (const auto& [edge, shade] :
       {std::pair{kFootWidth - 1, kFootWidth - 2}, std::pair{kRightFootLeft, kRightFootLeft + 1}}) {
    painter.fillRect(QRect(shade, kCabinetBottom, 1, kFootHeight), QColor(0, 0, 0, 50));
    painter.fillRect(QRect(edge, kCabinetBottom, 1, kFootHeight),
                     chrome::with_alpha(chrome::kEdgeLine, 210));
  }
}

}  // namespace wavorin::paint
