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

double distance_from_face(int x, int y, double centre_x) {
  return std::hypot(x + 0.5 - centre_x, y + 0.5 - kPressedCentreY);
}

bool is_glowing_cyan_green(QRgb c) {
  return qGreen(c) >= 200 && qBlue(c) >= 140 && qRed(c) <= 150 && qGreen(c) > qRed(c) + 80;
}

bool is_royal_blue(QRgb c) {
  return qBlue(c) >= 140 && qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 60;
}

class PressedFaces : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_ = load_asset("skin.png");
    ASSERT_FALSE(skin_.isNull());
  }
  QImage skin_;
};

TEST_F(PressedFaces, OutsideTheRingTheSquareIsTheSkinMovedOnePixelRight) {
  for (const Button& b : kButtons) {
    const QImage face = load_asset(b.file);
    ASSERT_FALSE(face.isNull()) << b.file;
    int wrong = 0;
    for (int y = 0; y < kButtonSize; ++y) {
      for (int x = 0; x < kButtonSize; ++x) {
        if (distance_from_face(x, y, kPressedCentreX) < kRepaintedRadius) {
          continue;
        }
        const QRgb shown = face.pixel(x, y);
        const QRgb skin = skin_.pixel(b.square.x() + x - 1, b.square.y() + y);
        wrong += shown != skin ? 1 : 0;
      }
    }
    EXPECT_EQ(wrong, 0) << b.file;
  }
}

// Blue symbols at rest, cyan-green glowing symbols when pressed, and never
// a left-over of the other.
TEST_F(PressedFaces, SymbolGlowsCyanGreenWhereTheRestingButtonShowsBlue) {
  for (const Button& b : kButtons) {
    const QImage face = load_asset(b.file);
    ASSERT_FALSE(face.isNull()) << b.file;
    int glowing = 0;
    int blue_left = 0;
    int resting_blue = 0;
    int resting_glow = 0;
    for (int y = 0; y < kButtonSize; ++y) {
      for (int x = 0; x < kButtonSize; ++x) {
        if (distance_from_face(x, y, kPressedCentreX) < kSymbolRadius) {
          glowing += is_glowing_cyan_green(face.pixel(x, y)) ? 1 : 0;
          blue_left += is_royal_blue(face.pixel(x, y)) ? 1 : 0;
        }
        const QRgb rest = skin_.pixel(b.square.x() + x, b.square.y() + y);
        resting_blue += is_royal_blue(rest) ? 1 : 0;
        resting_glow += is_glowing_cyan_green(rest) ? 1 : 0;
      }
    }
    EXPECT_GT(glowing, 40) << b.file;
    EXPECT_EQ(blue_left, 0) << b.file;
    EXPECT_GT(resting_blue, 40) << b.file;
    EXPECT_EQ(resting_glow, 0) << b.file;
  }
}

// Pushed in, the bezel's lip shades the upper left of the face, where at
// rest the lamp makes it brightest.
TEST_F(PressedFaces, UpperLeftOfTheFaceFallsIntoShadow) {
  for (const Button& b : kButtons) {
    const QImage face = load_asset(b.file);
    ASSERT_FALSE(face.isNull()) << b.file;
    double pressed = 0;
    double resting = 0;
    int count = 0;
    for (int y = 0; y < kButtonSize; ++y) {
      for (int x = 0; x < kButtonSize; ++x) {
        const double d = distance_from_face(x, y, kPressedCentreX);
        const bool upper_left = x + 0.5 < kPressedCentreX - 3 && y + 0.5 < kPressedCentreY - 3;
        if (d > 11.0 && d < 14.5 && upper_left) {
          pressed += qGray(face.pixel(x, y));
          resting += qGray(skin_.pixel(b.square.x() + x - 1, b.square.y() + y));
          ++count;
        }
      }
    }
    ASSERT_GT(count, 0);
    EXPECT_LT(pressed / count, 0.75 * resting / count) << b.file;
  }
}

}  // namespace
}  // namespace wavorin::test
