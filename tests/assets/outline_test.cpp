#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

bool is_black(QRgb c) { return qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 0; }

// Dark enough to read as a hole in the cabinet once the window is cut.
bool is_near_black(QRgb c) { return qRed(c) < 12 && qGreen(c) < 12 && qBlue(c) < 12; }

// At 1x and at 2x, where the outline is cut at twice the resolution.
class SkinOutline : public ::testing::TestWithParam<int> {
 protected:
  int scale() const { return GetParam(); }
  QImage load(const char* name) const { return load_asset(scaled_name(name, scale())); }
};

TEST_P(SkinOutline, EveryPixelOutsideTheOutlineIsBlack) {
  const QImage skin = load("skin.png");
  ASSERT_FALSE(skin.isNull());
  int wrong = 0;
  for (int y = 0; y < skin.height(); ++y) {
    for (int x = 0; x < skin.width(); ++x) {
      if (!inside_outline(x, y, scale()) && !is_black(skin.pixel(x, y))) {
        if (wrong++ == 0) {
          ADD_FAILURE() << "first painted pixel outside the outline at (" << x << ", " << y << ")";
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(SkinOutline, NoPixelInsideTheOutlineIsNearBlack) {
  const QImage skin = load("skin.png");
  ASSERT_FALSE(skin.isNull());
  int holes = 0;
  for (int y = 0; y < skin.height(); ++y) {
    for (int x = 0; x < skin.width(); ++x) {
      if (inside_outline(x, y, scale()) && is_near_black(skin.pixel(x, y))) {
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
TEST_P(SkinOutline, EveryFrameIsBlackOutsideTheDomeAndFilledInsideIt) {
  const QImage strip = load("ani_strip.png");
  ASSERT_FALSE(strip.isNull());
  const int rows = kFrameHeight * scale();
  for (int n = 0; n < kFrameCount; ++n) {
    int wrong = 0;
    for (int y = 0; y < rows; ++y) {
      for (int x = 0; x < strip.width(); ++x) {
        const QRgb c = strip.pixel(x, n * rows + y);
        wrong += inside_outline(x, y, scale()) ? (is_near_black(c) ? 1 : 0) : (is_black(c) ? 0 : 1);
      }
    }
    EXPECT_EQ(wrong, 0) << "frame " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, SkinOutline, ::testing::Values(1, 2),
                         [](const auto& info) { return "x" + std::to_string(info.param); });

}  // namespace
}  // namespace wavorin::test
