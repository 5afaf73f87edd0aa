#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

bool is_black(QRgb c) { return qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 0; }

// Dark enough to read as a hole in the cabinet once the window is cut.
bool is_near_black(QRgb c) { return qRed(c) < 12 && qGreen(c) < 12 && qBlue(c) < 12; }

TEST(SkinOutline, EveryPixelOutsideTheOutlineIsBlack) {
  const QImage skin = load_asset("skin.png");
  ASSERT_FALSE(skin.isNull());
  int wrong = 0;
  for (int y = 0; y < skin.height(); ++y) {
    for (int x = 0; x < skin.width(); ++x) {
      if (!inside_outline(x, y) && !is_black(skin.pixel(x, y))) {
        if (wrong++ == 0) {
          ADD_FAILURE() << "first painted pixel outside the outline at (" << x << ", " << y << ")";
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(SkinOutline, NoPixelInsideTheOutlineIsNearBlack) {
  const QImage skin = load_asset("skin.png");
  ASSERT_FALSE(skin.isNull());
  int holes = 0;
  for (int y = 0; y < skin.height(); ++y) {
    for (int x = 0; x < skin.width(); ++x) {
      if (inside_outline(x, y) && is_near_black(skin.pixel(x, y))) {
        if (holes++ == 0) {
          ADD_FAILURE() << "first near-black pixel inside the outline at (" << x << ", " << y
                        << ")";
        }
      }
    }
  }
  EXPECT_EQ(holes, 0);
}

// The dome box reaches past the disc at its corners, so a frame could
// paint there even though the skin does not.
TEST(SkinOutline, EveryFrameIsBlackOutsideTheDomeAndFilledInsideIt) {
  const QImage strip = load_asset("ani_strip.png");
  ASSERT_FALSE(strip.isNull());
  for (int n = 0; n < kFrameCount; ++n) {
    int wrong = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < strip.width(); ++x) {
        const QRgb c = strip.pixel(x, n * kFrameHeight + y);
        wrong += inside_outline(x, y) ? (is_near_black(c) ? 1 : 0) : (is_black(c) ? 0 : 1);
      }
    }
    EXPECT_EQ(wrong, 0) << "frame " << n;
  }
}

}  // namespace
}  // namespace wavorin::test
