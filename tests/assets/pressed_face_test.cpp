#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

struct Button {
  const char* file;
  QPoint square;  // top-left corner on the skin
};

constexpr Button kButtons[] = {
    {"p_ply.png", {25, 126}},
    {"p_stp.png", {70, 126}},
    {"p_opn.png", {115, 126}},
    {"p_cls.png", {160, 126}},
};

// In the pressed picture the button has moved one pixel right, so its face
// is centred here (pixel coordinates of the 40 x 40 picture).
constexpr double kPressedCentreX = 21.0;
constexpr double kPressedCentreY = 20.0;
// Only the face inside the bezel ring is repainted; beyond this radius the
// pressed picture must be the skin moved one pixel right.
constexpr double kRepaintedRadius = 17.0;
constexpr double kSymbolRadius = 14.0;

// Pixel (x, y) of a picture at `scale` times the window's pixels.
double distance_from_face(int x, int y, double centre_x, int scale) {
  return std::hypot((x + 0.5) / scale - centre_x, (y + 0.5) / scale - kPressedCentreY);
}

bool is_glowing_cyan_green(QRgb c) {
  return qGreen(c) >= 200 && qBlue(c) >= 140 && qRed(c) <= 150 && qGreen(c) > qRed(c) + 80;
}

bool is_royal_blue(QRgb c) {
  return qBlue(c) >= 140 && qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 60;
}

// At 1x and at 2x, where the square moves by one window pixel: two device
// pixels.
class PressedFaces : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    skin_ = load_asset(scaled_name("skin.png", s()));
    ASSERT_FALSE(skin_.isNull());
  }
  int s() const { return GetParam(); }
  QImage face(const Button& b) const { return load_asset(scaled_name(b.file, s())); }
  // The skin's pixel at (x, y) of the button's square, shifted by `dx`
  // window pixels.
  QRgb skin_at(const Button& b, int x, int y, int dx) const {
    return skin_.pixel((b.square.x() + dx) * s() + x, b.square.y() * s() + y);
  }
  QImage skin_;
};

TEST_P(PressedFaces, OutsideTheRingTheSquareIsTheSkinMovedOnePixelRight) {
  for (const Button& b : kButtons) {
    const QImage face = this->face(b);
    ASSERT_FALSE(face.isNull()) << b.file;
    int wrong = 0;
    for (int y = 0; y < kButtonSize * s(); ++y) {
      for (int x = 0; x < kButtonSize * s(); ++x) {
        if (distance_from_face(x, y, kPressedCentreX, s()) < kRepaintedRadius) {
          continue;
        }
        const QRgb shown = face.pixel(x, y);
        const QRgb skin = skin_at(b, x, y, -1);
        wrong += shown != skin ? 1 : 0;
      }
    }
    EXPECT_EQ(wrong, 0) << b.file;
  }
}

// Blue symbols at rest, cyan-green glowing symbols when pressed, and never
// a left-over of the other.
TEST_P(PressedFaces, SymbolGlowsCyanGreenWhereTheRestingButtonShowsBlue) {
  for (const Button& b : kButtons) {
    const QImage face = this->face(b);
    ASSERT_FALSE(face.isNull()) << b.file;
    int glowing = 0;
    int blue_left = 0;
    int resting_blue = 0;
    int resting_glow = 0;
    for (int y = 0; y < kButtonSize * s(); ++y) {
      for (int x = 0; x < kButtonSize * s(); ++x) {
        if (distance_from_face(x, y, kPressedCentreX, s()) < kSymbolRadius) {
          glowing += is_glowing_cyan_green(face.pixel(x, y)) ? 1 : 0;
          blue_left += is_royal_blue(face.pixel(x, y)) ? 1 : 0;
        }
        const QRgb rest = skin_at(b, x, y, 0);
        resting_blue += is_royal_blue(rest) ? 1 : 0;
        resting_glow += is_glowing_cyan_green(rest) ? 1 : 0;
      }
    }
    EXPECT_GT(glowing, 40 * s() * s()) << b.file;
    EXPECT_EQ(blue_left, 0) << b.file;
    EXPECT_GT(resting_blue, 40 * s() * s()) << b.file;
    EXPECT_EQ(resting_glow, 0) << b.file;
  }
}

// Pushed in, the bezel's lip shades the upper left of the face, where at
// rest the lamp makes it brightest.
TEST_P(PressedFaces, UpperLeftOfTheFaceFallsIntoShadow) {
  for (const Button& b : kButtons) {
    const QImage face = this->face(b);
    ASSERT_FALSE(face.isNull()) << b.file;
    double pressed = 0;
    double resting = 0;
    int count = 0;
    for (int y = 0; y < kButtonSize * s(); ++y) {
      for (int x = 0; x < kButtonSize * s(); ++x) {
        const double d = distance_from_face(x, y, kPressedCentreX, s());
        const bool upper_left =
            (x + 0.5) / s() < kPressedCentreX - 3 && (y + 0.5) / s() < kPressedCentreY - 3;
        if (d > 11.0 && d < 14.5 && upper_left) {
          pressed += qGray(face.pixel(x, y));
          resting += qGray(skin_at(b, x, y, -1));
          ++count;
        }
      }
    }
    ASSERT_GT(count, 0);
    EXPECT_LT(pressed / count, 0.75 * resting / count) << b.file;
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, PressedFaces, ::testing::Values(1, 2),
                         [](const auto& info) { return "x" + std::to_string(info.param); });

}  // namespace
}  // namespace wavorin::test
