#include <QProcess>

#include "app/layout.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/proc_info.h"

namespace wavorin::e2e {
namespace {

TEST_F(ProgramTest, FirstStartShowsTheSkinCutToTheCabinetAtTheOrigin) {
  ASSERT_TRUE(program.start());
  const QRect window = program.window_rect();
  EXPECT_EQ(window, QRect(0, 0, 225, 332));

  const QImage screen = Desktop::screenshot();
  const QImage skin = asset("skin.png");
  // Cut off by the round top and between the feet: the root shows through.
  EXPECT_EQ(screen.pixel(5, 5), kRoot);
  EXPECT_EQ(screen.pixel(100, 330), kRoot);
  EXPECT_EQ(screen.pixel(224, 5), kRoot);
  // Inside the dome and on the left foot: the skin.
  EXPECT_EQ(screen.pixel(112, 5), skin.pixel(112, 5));
  EXPECT_EQ(screen.pixel(10, 330), skin.pixel(10, 330));
  // Every pixel inside the outline is the skin's: no pressed look, no frame.
  EXPECT_EQ(differing_pixels(screen, {0, 0}, skin, QRect(0, 0, 225, 332)), 0);
  // And every pixel outside it is the root's.
  int leaks = 0;
  for (int y = 0; y < 332; ++y)
    for (int x = 0; x < 240; ++x)
      if (!inside_outline(x, y) && screen.pixel(x, y) != kRoot) ++leaks;
  EXPECT_EQ(leaks, 0);
}

// A window nobody reaches for holds no sound system; the pointer coming in
// loads it, before any button is pressed.
TEST_F(ProgramTest, SoundSystemWaitsUntilThePointerComesIn) {
  ASSERT_TRUE(program.start());
  const auto loaded = [&] { return test::proc::maps(program.pid(), "libwavorin-sound.so"); };
  // Drawn and left alone, it has done all it does by itself.
  Desktop::wait_until_still();
  EXPECT_FALSE(loaded());
  Desktop::move_pointer({112, 200});
  EXPECT_TRUE(Desktop::wait_until(loaded, 5000));
}

TEST_F(ProgramTest, StoredPositionIsRestoredNegativeIncluded) {
  program.write_setting("MAIN WINDOW X", "-1500");
  program.write_setting("MAIN WINDOW Y", "3000");
  ASSERT_TRUE(program.start());
  EXPECT_EQ(program.window_rect().topLeft(), QPoint(-100, 200));
  const QImage screen = Desktop::screenshot();
  const QImage skin = asset("skin.png");
  EXPECT_EQ(screen.pixel(10, 200 + 250), skin.pixel(110, 250));
}

TEST_F(ProgramTest, BadStoredPositionStartsNormallyAndKeepsTheFileUntouched) {
  program.write_setting("MAIN WINDOW X", "left");
  program.write_setting("MAIN WINDOW Y", "450");
  program.write_setting("Path", "/somewhere");
  ASSERT_TRUE(program.start());
  EXPECT_EQ(program.window_rect().topLeft(), QPoint(0, 30));
  program.kill();  // ended by its process: nothing is written
  EXPECT_EQ(program.read_setting("MAIN WINDOW X"), "left");
  EXPECT_EQ(program.read_setting("Path"), "/somewhere");
}

TEST_F(ProgramTest, PositionOnAMissingMonitorComesBackOnScreen) {
  program.write_setting("MAIN WINDOW X", "60000");  // 4000 px: beyond the 1024 px screen
  program.write_setting("MAIN WINDOW Y", "1500");
  ASSERT_TRUE(program.start());
  const QRect window = program.window_rect();
  EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(window)) << window.x() << "," << window.y();
}

TEST_F(ProgramTest, RestingOnAButtonShowsItsToolTipAndNowhereElse) {
  ASSERT_TRUE(program.start());
  const QString fonts = Desktop::run("fc-list", {":lang=ja", "family"});
  EXPECT_FALSE(fonts.trimmed().isEmpty()) << "no font with Japanese glyphs";

  const QImage quiet = Desktop::screenshot();
  // Pixels changed below the pointer, where a tool tip opens, outside the
  // buttons' square.
  auto tip_pixels = [&](const QImage& shown, QPoint pointer) {
    int changed = 0;
    for (int y = pointer.y() + 10; y < std::min(pointer.y() + 60, 768); ++y)
      for (int x = std::max(pointer.x() - 40, 0); x < std::min(pointer.x() + 160, 1024); ++x)
        if (shown.pixel(x, y) != quiet.pixel(x, y)) ++changed;
    return changed;
  };
  // Waits up to 3 s for a tip: a tip that never comes takes the whole span.
  auto tip_pixels_near = [&](QPoint pointer) {
    Desktop::move_pointer(pointer);
    const QImage shown = Desktop::wait_for_screen(
        [&](const QImage& shot) { return tip_pixels(shot, pointer) > 100; }, 3000);
    const int changed = tip_pixels(shown, pointer);
    Desktop::move_pointer({1000, 750});
    const QImage left = Desktop::wait_for_screen(
        [&](const QImage& shot) { return tip_pixels(shot, pointer) == 0; });
    EXPECT_EQ(tip_pixels(left, pointer), 0) << "the tool tip stayed after the pointer left";
    return changed;
  };
  for (const layout::ButtonPair& pair : layout::kButtons) {
    const layout::PixelPoint button = layout::button_centre(pair.button);
    EXPECT_GT(tip_pixels_near(program.at(button.x, button.y)), 100)
        << "no tool tip at " << button.x;
  }
  EXPECT_EQ(tip_pixels_near(program.at(112, 250)), 0) << "tool tip over the cabinet";
}

// A toolkit that cannot start (here a window-system plugin that is not
// there) is reported as what it is, never as a missing display, and every
// line the program prints begins with its name.
TEST(Startup, AToolkitThatCannotStartSaysWhatFailed) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "no-such-plugin");
  process.setProcessEnvironment(env);
  process.start(WAVORIN_EXE, {});
  ASSERT_TRUE(process.waitForFinished(20000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 1);
  const QString err = QString::fromLocal8Bit(process.readAllStandardError());
  const QStringList lines = err.trimmed().split('\n');
  for (const QString& line : lines) EXPECT_TRUE(line.startsWith("wavorin: ")) << line.toStdString();
  EXPECT_TRUE(err.contains("no-such-plugin")) << err.toStdString();
  EXPECT_TRUE(lines.constLast().contains("the toolkit failed to start")) << err.toStdString();
  EXPECT_FALSE(err.contains("no display")) << err.toStdString();
}

}  // namespace
}  // namespace wavorin::e2e
