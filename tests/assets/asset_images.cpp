#include "tests/assets/asset_images.h"

#include <QColor>
#include <QFile>
#include <cmath>
#include <numbers>

namespace wavorin::test {
namespace {

// The PNG signature (8 bytes), the IHDR chunk's length and type (8), then
// width (4) and height (4): bit depth and colour type follow.
constexpr qint64 kBitDepthOffset = 24;
constexpr qint64 kColourTypeOffset = 25;

int png_header_byte(const QString& path, qint64 offset) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return -1;
  }
  const QByteArray head = file.read(kColourTypeOffset + 1);
  if (head.size() <= offset || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR") {
    return -1;
  }
  return static_cast<unsigned char>(head[static_cast<int>(offset)]);
}

}  // namespace

QString asset_path(const char* name) { return QString(WAVORIN_ASSETS_DIR) + "/" + name; }

QImage load_rgb(const QString& path) {
  const QImage image(path);
  return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB888);
}

QImage load_asset(const char* name) { return load_rgb(asset_path(name)); }

int png_colour_type(const QString& path) { return png_header_byte(path, kColourTypeOffset); }

int png_bit_depth(const QString& path) { return png_header_byte(path, kBitDepthOffset); }

bool inside_outline(int x, int y, int scale) {
  const double px = (x + 0.5) / scale;
  const double py = (y + 0.5) / scale;
  const double dx = px - 113.0;
  const double dy = py - 113.0;
  const bool dome = dx * dx + dy * dy < 113.0 * 113.0;
  const bool body = px >= 0 && px < 226 && py >= 113 && py < 327;
  const bool feet = py >= 327 && py < 332 && ((px >= 0 && px < 25) || (px >= 201 && px < 225));
  return dome || body || feet;
}

QByteArray scaled_name(const char* name, int scale) {
  QByteArray file(name);
  if (scale != 1) file.insert(file.lastIndexOf('.'), "@" + QByteArray::number(scale) + "x");
  return file;
}

std::optional<QPoint> first_difference(const QImage& a, const QRect& area, const QImage& b,
                                       QPoint b_offset) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (a.pixel(x, y) != b.pixel(x + b_offset.x(), y + b_offset.y())) {
        return QPoint(x, y);
      }
    }
  }
  return std::nullopt;
}

int count_differences(const QImage& a, const QRect& area, const QImage& b, QPoint b_offset) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      count += a.pixel(x, y) != b.pixel(x + b_offset.x(), y + b_offset.y()) ? 1 : 0;
    }
  }
  return count;
}

MeanHsv mean_hsv(const QImage& image, const QRect& area) {
  double sin_sum = 0;
  double cos_sum = 0;
  double saturation = 0;
  double value = 0;
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const double hue = std::max(c.hsvHueF(), 0.0f) * 2.0 * std::numbers::pi;
      // Weighted by saturation so the hue of a near-grey pixel barely counts.
      sin_sum += c.hsvSaturationF() * std::sin(hue);
      cos_sum += c.hsvSaturationF() * std::cos(hue);
      saturation += c.hsvSaturationF();
      value += c.valueF();
      ++count;
    }
  }
  double hue_deg = std::atan2(sin_sum, cos_sum) * 180.0 / std::numbers::pi;
  if (hue_deg < 0) {
    hue_deg += 360.0;
  }
  return {hue_deg, saturation / count, value / count};
}

}  // namespace wavorin::test
