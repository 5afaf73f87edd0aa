#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include "tests/e2e/desktop.h"
#include "tests/e2e/program.h"

namespace wavorin::e2e {

constexpr QRgb kRoot = 0xff3366cc;  // the root window's colour behind the shaped window

// The cabinet's outline, worked out independently of the program: a disc of
// diameter 226 centred at (113, 113), the body below its middle, two feet.
inline bool inside_outline(int x, int y) {
  const double dx = x + 0.5 - 113;
  const double dy = y + 0.5 - 113;
  if (dx * dx + dy * dy < 113.0 * 113.0) return true;
  if (y >= 113 && y < 327) return x >= 0 && x < 226;
  if (y >= 327 && y < 332) return (x >= 0 && x < 25) || (x >= 201 && x < 226);
  return false;
}

// The same outline on a screen of `ratio` device pixels to a window pixel: a
// device pixel is inside when its centre, in window pixels, is.
inline bool inside_outline_at(int x, int y, double ratio) {
  const double px = (x + 0.5) / ratio;
  const double py = (y + 0.5) / ratio;
  const double dx = px - 113;
  const double dy = py - 113;
  if (dx * dx + dy * dy < 113.0 * 113.0) return true;
  if (py >= 113 && py < 327) return px >= 0 && px < 226;
  if (py >= 327 && py < 332) return (px >= 0 && px < 25) || (px >= 201 && px < 226);
  return false;
}

inline QImage asset(const char* name) {
  return QImage(QStringLiteral(WAVORIN_ASSETS_DIR "/") + name)
      .convertToFormat(QImage::Format_RGB32);
}

// Pixels of the window's inside that differ from `expected` within `area`.
inline int differing_pixels(const QImage& screen, QPoint origin, const QImage& expected,
                            QRect area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (inside_outline(x, y) && screen.pixel(origin + QPoint(x, y)) != expected.pixel(x, y))
        ++count;
  return count;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
      GTEST_SKIP() << "needs an X display (scripts/with-display.sh)";
    Desktop::set_root_colour("#3366cc");
    Desktop::move_pointer({1000, 750});
  }
  Program program;
};

}  // namespace wavorin::e2e
