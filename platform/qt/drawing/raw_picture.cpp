#include "platform/qt/drawing/raw_picture.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace wavorin {

namespace {

constexpr char kMagic[4] = {'W', 'V', 'R', '1'};
constexpr qint64 kHeader = 16;
constexpr int kLargest = 1 << 15;

std::uint32_t field(const uchar* data, std::size_t index) {
  std::uint32_t value = 0;
  std::memcpy(&value, data + 4 * index, sizeof value);
  return value;
}

}  // namespace

QByteArray to_raw_picture(const QImage& picture) {
  const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const auto row = static_cast<std::uint32_t>(pixels.width()) * 4;
  const std::uint32_t header[4] = {0, static_cast<std::uint32_t>(pixels.width()),
                                   static_cast<std::uint32_t>(pixels.height()), row};
  QByteArray raw(kMagic, sizeof kMagic);
  raw.append(reinterpret_cast<const char*>(header + 1), sizeof header - sizeof kMagic);
  for (int y = 0; y < pixels.height(); ++y)
    raw.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), row);
  return raw;
}

QImage from_raw_picture(const uchar* data, qint64 size) {
  if (data == nullptr || size < kHeader || std::memcmp(data, kMagic, 4) != 0) return {};
  const std::uint32_t width = field(data, 1);
  const std::uint32_t height = field(data, 2);
  const std::uint32_t row = field(data, 3);
  if (width == 0 || height == 0 || width > kLargest || height > kLargest || row != width * 4 ||
      size != kHeader + static_cast<qint64>(row) * height)
    return {};
  QImage picture(static_cast<int>(width), static_cast<int>(height),
                 QImage::Format_ARGB32_Premultiplied);
  if (picture.isNull()) return {};
  for (std::uint32_t y = 0; y < height; ++y)
    std::memcpy(picture.scanLine(static_cast<int>(y)), data + kHeader + qint64{row} * y, row);
  return picture;
}

}  // namespace wavorin
