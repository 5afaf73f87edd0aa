#include "platform/qt/drawing/picture_set.h"

#include <QImageReader>
#include <QResource>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/qt/drawing/raw_picture.h"

namespace wavorin {

namespace {

// The raw pixels built in beside a PNG, if any: "skin.png" -> "skin.argb32".
QImage built_in_raw(const QString& path) {
  if (!path.endsWith(QLatin1String(".png"))) return {};
  const QResource raw(path.chopped(4) + QLatin1String(".argb32"));
  if (!raw.isValid() || raw.compressionAlgorithm() != QResource::NoCompression) return {};
  return from_raw_picture(raw.data(), raw.size());
}

QImage decode(const std::string& path) {
  const QString name = QString::fromUtf8(path);
  if (QImage raw = built_in_raw(name); !raw.isNull()) return raw;
  // Named by its format, the reader neither asks nor loads the image format
  // plugins, which would stay loaded for the program's life.
  QImageReader reader(name);
  if (name.endsWith(QLatin1String(".png"))) {
    reader.setFormat("png");
    reader.setAutoDetectImageFormat(false);
  }
  QImage picture = reader.read();
  if (picture.isNull()) return {};
  // The reader marks an "@2x" file as 2x; here every picture is addressed
  // in its own pixels.
  picture.setDevicePixelRatio(1.0);
  return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

int to_device_edge(long long edge, double ratio) {
  const double scaled = std::round(static_cast<double>(edge) * ratio);
  return static_cast<int>(std::clamp(scaled, static_cast<double>(std::numeric_limits<int>::min()),
                                     static_cast<double>(std::numeric_limits<int>::max())));
}

std::string two_x_path(const std::string& path) {
  const auto dot = path.rfind('.');
  const auto slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + "@2x";
  return path.substr(0, dot) + "@2x" + path.substr(dot);
}

QRect to_device(const QRect& rect, double ratio) {
  if (ratio == 1.0) return rect;
  const int left = to_device_edge(rect.x(), ratio);
  const int top = to_device_edge(rect.y(), ratio);
  const int right = to_device_edge(static_cast<long long>(rect.x()) + rect.width(), ratio);
  const int bottom = to_device_edge(static_cast<long long>(rect.y()) + rect.height(), ratio);
  return {left, top, right - left, bottom - top};
}

QRect to_window(const QRect& rect, double ratio) {
  if (ratio == 1.0) return rect;
  const auto left = static_cast<int>(std::floor(rect.x() / ratio));
  const auto top = static_cast<int>(std::floor(rect.y() / ratio));
  const auto right = static_cast<int>(std::ceil((rect.x() + rect.width()) / ratio));
  const auto bottom = static_cast<int>(std::ceil((rect.y() + rect.height()) / ratio));
  return {left, top, right - left, bottom - top};
}

PictureSet::PictureSet(double ratio) : ratio_(ratio > 0 ? ratio : 1.0) {}

const QImage& PictureSet::picture(const std::string& path) {
  const auto it = decoded_.find(path);
  if (it != decoded_.end()) return it->second;
  return decoded_.emplace(path, load(path)).first->second;
}

QImage PictureSet::load(const std::string& path) const {
  if (path.empty()) return {};
  if (ratio_ == 1.0) return decode(path);
  // Without a 2x file the 1x picture is scaled smoothly, as a last resort.
  int factor = 2;
  QImage source = decode(two_x_path(path));
  if (source.isNull()) {
    factor = 1;
    source = decode(path);
  }
  if (source.isNull() || ratio_ == factor) return source;

  const QSize logical = source.size() / factor;
  const QSize device = to_device(QRect(QPoint(0, 0), logical), ratio_).size();
  return source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace wavorin
