#include "tests/e2e/e2e_fixture.h"

namespace wavorin::e2e {
namespace {

const QRect kStopSquare(70, 126, 40, 40);

// Pixels around the Stop button's rim that differ from the skin.
int glow_pixels_around_stop(const QImage& screen, QPoint window) {
  const QImage skin = asset("skin.png");
  const QRect around = kStopSquare.adjusted(-4, -4, 4, 4);
  int count = 0;
  for (int y = around.top(); y <= around.bottom(); ++y)
    for (int x = around.left(); x <= around.right(); ++x)
      if (!kStopSquare.adjusted(4, 4, -4, -4).contains(x, y) &&
          screen.pixel(window + QPoint(x, y)) != skin.pixel(x, y))
        ++count;
  return count;
}

TEST_F(ProgramTest, KeysPressTheButtonsAsClicksDo) {
  program.replace_sound("click.wav", marker_tone(0.2, 4));
  program.replace_sound("sample1.wav", marker_tone(3.0, 5));
  ASSERT_TRUE(program.start());
  const QPoint window = program.window_rect().topLeft();
  const auto click = read_wave(program.folder() + "/click.wav");
  auto tune = read_wave(program.folder() + "/sample1.wav");
  tune.resize(22050);

  // P plays: the click, then the tune.
  Desktop::key("p");
  std::vector<std::int16_t> out;
  Desktop::wait_until([&] {
    out = program.audio();
    return find_samples(out, tune, std::max(0L, find_samples(out, click))) >= 0;
  });
  const long click_at = find_samples(out, click);
  ASSERT_GE(click_at, 0) << "P did not click";
  EXPECT_GE(find_samples(out, tune, click_at), 0) << "P did not play";
  EXPECT_EQ(glow_pixels_around_stop(Desktop::screenshot(), window), 0) << "ring before Tab";

  // Tab to Stop, with the ring drawn around it, and Space stops the tune.
  Desktop::key("Tab");
  Desktop::key("Tab");
  const auto ring_on_stop = [&](const QImage& screen) {
    return glow_pixels_around_stop(screen, window) > 40;
  };
  EXPECT_TRUE(ring_on_stop(Desktop::wait_for_screen(ring_on_stop))) << "no ring on Stop";
  Desktop::key("space");
  EXPECT_TRUE(program.silent_after(click, click_at + static_cast<long>(click.size())))
      << "Space on Stop did not click, or did not stop the tune";

  // A mouse click hides the ring again.
  Desktop::click(window + QPoint(112, 280));
  Desktop::move_pointer({1000, 750});
  const auto no_ring = [&](const QImage& screen) {
    return glow_pixels_around_stop(screen, window) == 0;
  };
  EXPECT_TRUE(no_ring(Desktop::wait_for_screen(no_ring))) << "ring after a click";

  // Ctrl+O opens the dialog.
  Desktop::key("ctrl+o");
  const QString dialog = program.wait_for_dialog("^Open wave$");
  ASSERT_FALSE(dialog.isEmpty()) << "no dialog";
  Desktop::key("Escape");
  ASSERT_TRUE(Desktop::wait_until_hidden(dialog)) << "Escape left the dialog";

  // The media keys: Play is the keyboard's Play/Pause key, so it plays when
  // idle and stops a playing sound; Pause and Stop stop it.
  for (const char* stop_key : {"XF86AudioPlay", "XF86AudioPause", "XF86AudioStop"}) {
    const auto before = program.audio();
    Desktop::key("XF86AudioPlay");
    const long played = program.wait_for_samples_after(tune, before);
    EXPECT_GE(played, 0) << "the Play key did not play";
    Desktop::key(stop_key);
    EXPECT_TRUE(program.silent_after(click, std::max(0L, played))) << stop_key << " did not stop";
  }
  // Pause does nothing when idle: the first click after it is Stop's, and
  // silence follows.
  const auto idle = program.audio();
  Desktop::key("XF86AudioPause");
  Desktop::key("s");
  EXPECT_TRUE(
      program.silent_after(click, std::max(0L, program.wait_for_samples_after(click, idle))))
      << "Pause pressed a button while idle";

  // Ctrl+Q closes as the Close button does: the position is saved.
  Desktop::key("ctrl+q");
  EXPECT_EQ(program.wait_for_exit(), 0);
  EXPECT_EQ(program.read_setting("MAIN WINDOW X"), "0");
  EXPECT_EQ(program.read_setting("Path"), program.folder());
}

TEST_F(ProgramTest, WindowManagerCannotResizeTheWindow) {
  ASSERT_TRUE(program.start());
  Desktop::run("xdotool", {"windowsize", program.window_id(), "225", "432"});
  // The window manager asks the window, which answers at once; a move
  // requested after the resize is seen only once the resize was dealt with.
  Desktop::run("xdotool", {"windowmove", program.window_id(), "17", "19"});
  EXPECT_TRUE(
      Desktop::wait_until([&] { return program.window_rect().topLeft() == QPoint(17, 19); }));
  EXPECT_EQ(program.window_rect().size(), QSize(225, 332));
}

}  // namespace
}  // namespace wavorin::e2e
