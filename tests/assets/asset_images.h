#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

// Reading the committed pictures and measuring them.
namespace wavorin::test {

constexpr int kSkinWidth = 225;
constexpr int kSkinHeight = 332;
constexpr int kFrameHeight = 120;
constexpr int kFrameCount = 8;
constexpr int kButtonSize = 40;
// The only part of the dome an animation frame may change.
constexpr QRect kAnimationBox{15, 17, 194, 103};

QString asset_path(const char* name);
// The committed picture, converted to 8-bit RGB for comparing; null when
// the file is missing or unreadable.
QImage load_asset(const char* name);
QImage load_rgb(const QString& path);

// The colour type byte of a PNG file's header (2 is truecolour without
// alpha), or -1 when the file is not a PNG.
int png_colour_type(const QString& path);
// Bits per channel from the same header, or -1.
int png_bit_depth(const QString& path);

// Whether pixel (x, y) of the skin lies inside the window's outline; for a
// picture at `scale` times the window's pixels, whether its centre does.
bool inside_outline(int x, int y, int scale = 1);

// "skin.png" at scale 2 is "skin@2x.png".
QByteArray scaled_name(const char* name, int scale);

// The first pixel of `area` in `a` that differs from `b` at the same place
// shifted by `b_offset`, or nothing when they match.
std::optional<QPoint> first_difference(const QImage& a, const QRect& area, const QImage& b,
                                       QPoint b_offset);
int count_differences(const QImage& a, const QRect& area, const QImage& b, QPoint b_offset);

struct MeanHsv {
  double hue_deg;     // circular mean, 0..360
  double saturation;  // 0..1
  double value;       // 0..1
};
MeanHsv mean_hsv(const QImage& image, const QRect& area);

}  // namespace wavorin::test
