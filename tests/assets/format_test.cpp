#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

struct Expected {
  const char* name;
  int width;
  int height;
};

constexpr Expected kPictures[] = {
    {"skin.png", kSkinWidth, kSkinHeight},
    {"ani_strip.png", kSkinWidth, kFrameHeight* kFrameCount},
    {"p_ply.png", kButtonSize, kButtonSize},
    {"p_stp.png", kButtonSize, kButtonSize},
    {"p_opn.png", kButtonSize, kButtonSize},
    {"p_cls.png", kButtonSize, kButtonSize},
    {"skin@2x.png", 2 * kSkinWidth, 2 * kSkinHeight},
    {"ani_strip@2x.png", 2 * kSkinWidth, 2 * kFrameHeight* kFrameCount},
    {"p_ply@2x.png", 2 * kButtonSize, 2 * kButtonSize},
    {"p_stp@2x.png", 2 * kButtonSize, 2 * kButtonSize},
    {"p_opn@2x.png", 2 * kButtonSize, 2 * kButtonSize},
    {"p_cls@2x.png", 2 * kButtonSize, 2 * kButtonSize},
};

TEST(AssetFormat, EachPictureHasTheSizeTheWindowLaysOut) {
  for (const Expected& p : kPictures) {
    const QImage image(asset_path(p.name));
    ASSERT_FALSE(image.isNull()) << p.name << " is missing or unreadable";
    EXPECT_EQ(image.width(), p.width) << p.name;
    EXPECT_EQ(image.height(), p.height) << p.name;
  }
}

// The window blits these as opaque 24-bit pictures: an alpha channel or a
// palette would change how they are loaded and drawn.
TEST(AssetFormat, EachPictureIsEightBitTruecolourWithoutAlpha) {
  for (const Expected& p : kPictures) {
    const QImage image(asset_path(p.name));
    ASSERT_FALSE(image.isNull()) << p.name;
    EXPECT_FALSE(image.hasAlphaChannel()) << p.name;
    EXPECT_EQ(png_colour_type(asset_path(p.name)), 2) << p.name;
    EXPECT_EQ(png_bit_depth(asset_path(p.name)), 8) << p.name;
  }
}

// Each 2x picture is the same drawing as its 1x picture, drawn again at
// twice the resolution: averaged back down it looks like the 1x picture, yet
// it is not the 1x picture with every pixel doubled.
TEST(AssetFormat, EachTwoXPictureIsTheSameDrawingWithItsOwnDetail) {
  for (const char* name :
       {"skin.png", "ani_strip.png", "p_ply.png", "p_stp.png", "p_opn.png", "p_cls.png"}) {
    const QImage one = load_asset(name);
    const QImage two = load_asset(scaled_name(name, 2));
    ASSERT_FALSE(one.isNull() || two.isNull()) << name;
    ASSERT_EQ(two.size(), one.size() * 2) << name;
    double off = 0;
    int doubled = 0;
    for (int y = 0; y < one.height(); ++y) {
      for (int x = 0; x < one.width(); ++x) {
        const QRgb block[4] = {two.pixel(2 * x, 2 * y), two.pixel(2 * x + 1, 2 * y),
                               two.pixel(2 * x, 2 * y + 1), two.pixel(2 * x + 1, 2 * y + 1)};
        const auto mean = [&](int (*channel)(QRgb)) {
          return (channel(block[0]) + channel(block[1]) + channel(block[2]) + channel(block[3])) /
                 4.0;
        };
        const QRgb c = one.pixel(x, y);
        off += std::abs(mean(qRed) - qRed(c)) + std::abs(mean(qGreen) - qGreen(c)) +
               std::abs(mean(qBlue) - qBlue(c));
        doubled += block[0] == c && block[1] == c && block[2] == c && block[3] == c ? 1 : 0;
      }
    }
    const double pixels = static_cast<double>(one.width()) * one.height();
    EXPECT_LT(off / (3 * pixels), 12.0) << name << ": not the same drawing";
    // Flat areas (the black outside, the plain plate) double exactly; edges,
    // gradients and grain do not.
    EXPECT_LT(doubled / pixels, 0.6) << name << ": the 1x picture with its pixels doubled";
  }
}

}  // namespace
}  // namespace wavorin::test
