#include <gtest/gtest.h>

#include <QImage>

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

}  // namespace
}  // namespace wavorin::test
