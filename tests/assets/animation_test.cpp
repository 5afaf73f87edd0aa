#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cmath>

#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

// At 1x and at 2x; coordinates below are the window's pixels, scaled.
class AnimationStrip : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    skin_ = load_asset(scaled_name("skin.png", s()));
    strip_ = load_asset(scaled_name("ani_strip.png", s()));
    ASSERT_FALSE(skin_.isNull());
    ASSERT_FALSE(strip_.isNull());
    ASSERT_EQ(strip_.height(), kFrameCount * kFrameHeight * s());
  }

  int s() const { return GetParam(); }
  QRect scaled(const QRect& r) const { return {r.topLeft() * s(), r.size() * s()}; }
  QPoint frame_origin(int n) const { return {0, n * kFrameHeight * s()}; }
  QSize frame_size() const { return QSize(kSkinWidth, kFrameHeight) * s(); }

  // Lit glass away from the spiral, the balls and the sheen: the lower
  // corners of the dome on both sides.
  MeanHsv glass_colour(int n) const {
    const QImage frame = strip_.copy(QRect(frame_origin(n), frame_size()));
    const MeanHsv left = mean_hsv(frame, scaled(QRect(30, 98, 18, 14)));
    const MeanHsv right = mean_hsv(frame, scaled(QRect(178, 98, 18, 14)));
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

TEST_P(AnimationStrip, FirstFrameIsTheSkinsTop) {
  const auto diff =
      first_difference(skin_, QRect(QPoint(0, 0), frame_size()), strip_, frame_origin(0));
  if (diff) {
    ADD_FAILURE() << "differs at (" << diff->x() << ", " << diff->y() << ")";
  }
}

// The program blits only the box each tick; anything changed outside it
// would never reach the screen, or would stay behind from an older frame.
TEST_P(AnimationStrip, FramesDifferFromTheSkinOnlyInsideTheDomeBox) {
  const QRect box = scaled(kAnimationBox);
  for (int n = 0; n < kFrameCount; ++n) {
    int outside = 0;
    for (int y = 0; y < frame_size().height(); ++y) {
      for (int x = 0; x < frame_size().width(); ++x) {
        if (!box.contains(x, y) && skin_.pixel(x, y) != strip_.pixel(x, frame_origin(n).y() + y)) {
          ++outside;
        }
      }
    }
    EXPECT_EQ(outside, 0) << "frame " << n;
  }
}

TEST_P(AnimationStrip, EachFrameVisiblyDiffersFromTheNext) {
  const QRect box = scaled(kAnimationBox);
  for (int n = 0; n + 1 < kFrameCount; ++n) {
    const QImage next = strip_.copy(QRect(frame_origin(n + 1), frame_size()));
    const int changed = count_differences(next, box, strip_, frame_origin(n));
    EXPECT_GT(changed, box.width() * box.height() / 4) << "frames " << n << " and " << n + 1;
  }
}

// Frames 0 and 4 share green, 1 and 5 red: they must still differ where the
// spiral and the balls are, or the dome would only flash, not move.
TEST_P(AnimationStrip, SpiralAndBallsMoveBetweenFramesOfTheSameColour) {
  const QRect spiral_and_balls = scaled(QRect(30, 20, 166, 75));
  for (const auto& [a, b] : {std::pair{0, 4}, std::pair{1, 5}}) {
    const QImage later = strip_.copy(QRect(frame_origin(b), frame_size()));
    const int moved = count_differences(later, spiral_and_balls, strip_, frame_origin(a));
    EXPECT_GT(moved, 300 * s() * s()) << "frames " << a << " and " << b;
    const MeanHsv ca = glass_colour(a);
    const MeanHsv cb = glass_colour(b);
    EXPECT_NEAR(ca.hue_deg, cb.hue_deg, 3.0) << "frames " << a << " and " << b;
  }
}

TEST_P(AnimationStrip, DomeLightRunsGreenRedWhiteBlueGreenRedPinkPurple) {
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

INSTANTIATE_TEST_SUITE_P(Scales, AnimationStrip, ::testing::Values(1, 2),
                         [](const auto& info) { return "x" + std::to_string(info.param); });

}  // namespace
}  // namespace wavorin::test
