// The real window on a screen that scales it by 2 and by 1.5: the 2x
// pictures (reduced smoothly at 1.5), the outline cut at device pixels.
#include <QElapsedTimer>
#include <cmath>
#include <set>

#include "app/layout.h"
#include "tests/e2e/e2e_fixture.h"

namespace wavorin::e2e {
namespace {

// The device pixel under window pixel (x, y)'s centre.
QPoint device(int x, int y, double ratio) {
  return {static_cast<int>(std::floor((x + 0.5) * ratio)),
          static_cast<int>(std::floor((y + 0.5) * ratio))};
}

// What the window should show: the 2x picture, reduced smoothly when the
// ratio is not 2.
QImage expected(const char* name, double ratio, QSize logical) {
  const QImage twice = QImage(QStringLiteral(WAVORIN_ASSETS_DIR "/") + name)
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QSize size(static_cast<int>(std::lround(logical.width() * ratio)),
                   static_cast<int>(std::lround(logical.height() * ratio)));
  const QImage shown =
      ratio == 2.0 ? twice : twice.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return shown.convertToFormat(QImage::Format_RGB32);
}

bool near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
         std::abs(qBlue(a) - qBlue(b)) <= 2;
}

// Device pixels of `rows` inside the outline that are not `picture`'s.
int wrong_inside(const QImage& screen, const QImage& picture, int picture_top, int rows,
                 double ratio) {
  int wrong = 0;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (inside_outline_at(x, y, ratio) &&
          !near(screen.pixel(x, y), picture.pixel(x, picture_top + y)))
        ++wrong;
  return wrong;
}

class ScaledWindow : public ProgramTest, public ::testing::WithParamInterface<double> {
 protected:
  double ratio() const { return GetParam(); }
  bool start() {
    program.set_env("QT_SCALE_FACTOR", QString::number(ratio()));
    return program.start();
  }
};

TEST_P(ScaledWindow, ShowsTheSharpSkinCutAtDevicePixels) {
  ASSERT_TRUE(start());
  const QImage skin = expected("skin@2x.png", ratio(), {225, 332});
  EXPECT_EQ(program.window_rect(), QRect(QPoint(0, 0), skin.size()));
  const QImage screen = Desktop::screenshot();

  for (const QPoint p : {QPoint(5, 5), QPoint(100, 330)})
    EXPECT_EQ(screen.pixel(device(p.x(), p.y(), ratio())), kRoot) << p.x() << "," << p.y();
  for (const QPoint p : {QPoint(112, 5), QPoint(10, 330)})
    EXPECT_NE(screen.pixel(device(p.x(), p.y(), ratio())), kRoot) << p.x() << "," << p.y();

  EXPECT_EQ(wrong_inside(screen, skin, 0, skin.height(), ratio()), 0);
  int leaks = 0;
  for (int y = 0; y < skin.height(); ++y)
    for (int x = 0; x < skin.width() + 10; ++x)
      if (!inside_outline_at(x, y, ratio()) && screen.pixel(x, y) != kRoot) ++leaks;
  EXPECT_EQ(leaks, 0);

  // Down the round top's steep sides the edge moves at most one device pixel
  // a row; an outline cut in window pixels and enlarged would step by two.
  const double centre = 113.0 * ratio();
  int previous = -1;
  for (int y = static_cast<int>(centre * 0.4); y < static_cast<int>(centre); ++y) {
    int edge = 0;
    while (edge < skin.width() && screen.pixel(edge, y) == kRoot) ++edge;
    if (previous >= 0) {
      EXPECT_LE(std::abs(edge - previous), 1) << "row " << y;
    }
    previous = edge;
  }
}

TEST_P(ScaledWindow, PlayAnimatesTheDomeAndStops) {
  program.replace_sound("sample1.wav", marker_tone(2.0, 3));
  ASSERT_TRUE(start());
  const QImage strip = expected("ani_strip@2x.png", ratio(), {225, 960});
  const int frame_rows = static_cast<int>(std::lround(120 * ratio()));
  const auto frame_shown = [&] {
    const QImage screen = Desktop::screenshot();
    for (int frame = 0; frame < 8; ++frame)
      if (wrong_inside(screen, strip, frame * frame_rows, frame_rows, ratio()) == 0) return frame;
    return -1;
  };
  EXPECT_EQ(frame_shown(), 0);
  const layout::PixelPoint play = layout::button_centre(Element::b_ply);
  Desktop::click(device(play.x, play.y, ratio()));
  QElapsedTimer clock;
  clock.start();
  std::set<int> seen;
  while (clock.elapsed() < 1800) {
    const int frame = frame_shown();
    ASSERT_GE(frame, 0) << "the dome showed something that is not a frame";
    seen.insert(frame);
  }
  EXPECT_GE(seen.size(), 3U);
  // The whole tune has been played; the frame then stops within a tick.
  EXPECT_GE(program.wait_for_samples(marker_tone(2.0, 3)), 0) << "the tune was not played";
  // A running animation would show another frame within a whole cycle.
  EXPECT_GE(Desktop::wait_until_steady(frame_shown, 800), 0) << "animation kept running";
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledWindow, ::testing::Values(2.0, 1.5),
                         [](const auto& info) { return info.param == 2.0 ? "x2" : "x1_5"; });

}  // namespace
}  // namespace wavorin::e2e
