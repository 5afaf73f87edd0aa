#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cmath>

#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

class AnimationStrip : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_ = load_asset("skin.png");
    strip_ = load_asset("ani_strip.png");
    ASSERT_FALSE(skin_.isNull());
    ASSERT_FALSE(strip_.isNull());
    ASSERT_EQ(strip_.height(), kFrameCount * kFrameHeight);
  }

  static QPoint frame_origin(int n) { return {0, n * kFrameHeight}; }

  // Lit glass away from the spiral, the balls and the sheen: the lower
  // corners of the dome on both sides.
  MeanHsv glass_colour(int n) const {
    const QImage frame = strip_.copy(QRect(frame_origin(n), QSize(kSkinWidth, kFrameHeight)));
    const MeanHsv left = mean_hsv(frame, QRect(30, 98, 18, 14));
    const MeanHsv right = mean_hsv(frame, QRect(178, 98, 18, 14));
    return {circular_mid(left.hue_deg, right.hue_deg), (left.saturation + right.saturation) / 2,
            (left.value + right.value) / 2};
  }

  static double circular_mid(double a, double b) {
    const double d = std::remainder(b - a, 360.0);
    return std::fmod(a + d / 2 + 360.0, 360.0);
  }

  QImage skin_;
  QImage strip_;
};

TEST_F(AnimationStrip, FirstFrameIsTheSkinsTop) {
  const auto diff =
      first_difference(skin_, QRect(0, 0, kSkinWidth, kFrameHeight), strip_, frame_origin(0));
  if (diff) {
    ADD_FAILURE() << "differs at (" << diff->x() << ", " << diff->y() << ")";
  }
}

// The program blits only the box each tick; anything changed outside it
// would never reach the screen, or would stay behind from an older frame.
TEST_F(AnimationStrip, FramesDifferFromTheSkinOnlyInsideTheDomeBox) {
  for (int n = 0; n < kFrameCount; ++n) {
    int outside = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kSkinWidth; ++x) {
        if (!kAnimationBox.contains(x, y) &&
            skin_.pixel(x, y) != strip_.pixel(x, n * kFrameHeight + y)) {
          ++outside;
        }
      }
    }
    EXPECT_EQ(outside, 0) << "frame " << n;
  }
}

TEST_F(AnimationStrip, EachFrameVisiblyDiffersFromTheNext) {
  for (int n = 0; n + 1 < kFrameCount; ++n) {
    const QImage next = strip_.copy(QRect(frame_origin(n + 1), QSize(kSkinWidth, kFrameHeight)));
    const int changed = count_differences(next, kAnimationBox, strip_, frame_origin(n));
    EXPECT_GT(changed, kAnimationBox.width() * kAnimationBox.height() / 4)
        << "frames " << n << " and " << n + 1;
  }
}

// Frames 0 and 4 share green, 1 and 5 red: they must still differ where the
// spiral and the balls are, or the dome would only flash, not move.
TEST_F(AnimationStrip, SpiralAndBallsMoveBetweenFramesOfTheSameColour) {
  const QRect spiral_and_balls(30, 20, 166, 75);
  for (const auto& [a, b] : {std::pair{0, 4}, std::pair{1, 5}}) {
    const QImage later = strip_.copy(QRect(frame_origin(b), QSize(kSkinWidth, kFrameHeight)));
    const int moved = count_differences(later, spiral_and_balls, strip_, frame_origin(a));
    EXPECT_GT(moved, 300) << "frames " << a << " and " << b;
    const MeanHsv ca = glass_colour(a);
    const MeanHsv cb = glass_colour(b);
    EXPECT_NEAR(ca.hue_deg, cb.hue_deg, 3.0) << "frames " << a << " and " << b;
  }
}

TEST_F(AnimationStrip, DomeLightRunsGreenRedWhiteBlueGreenRedPinkPurple) {
  struct Light {
    const char* name;
    double hue_lo;  // degrees; lo > hi wraps through red
    double hue_hi;
    bool white;
  };
  const std::array<Light, kFrameCount> order{{
      {"green", 100, 160, false},
      {"red", 345, 15, false},
      {"white", 0, 0, true},
      {"blue", 205, 240, false},
      {"green", 100, 160, false},
      {"red", 345, 15, false},
      {"pink", 310, 340, false},
      {"purple", 260, 290, false},
  }};
  for (int n = 0; n < kFrameCount; ++n) {
    const Light& want = order[static_cast<std::size_t>(n)];
    const MeanHsv got = glass_colour(n);
    if (want.white) {
      EXPECT_LT(got.saturation, 0.15) << "frame " << n << " should be white";
      EXPECT_GT(got.value, 0.6) << "frame " << n << " should be white";
      continue;
    }
    const bool in_range = want.hue_lo < want.hue_hi
                              ? got.hue_deg >= want.hue_lo && got.hue_deg <= want.hue_hi
                              : got.hue_deg >= want.hue_lo || got.hue_deg <= want.hue_hi;
    EXPECT_TRUE(in_range) << "frame " << n << " should be " << want.name << ", hue is "
                          << got.hue_deg;
    EXPECT_GT(got.saturation, 0.3) << "frame " << n << " should be " << want.name;
    EXPECT_GT(got.value, 0.45) << "frame " << n << " should be lit";
  }
}

}  // namespace
}  // namespace wavorin::test
