#include <sndfile.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "app/layout.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/proc_info.h"

namespace wavorin::e2e {
namespace {

QPoint centre(Element button) {
  const layout::PixelPoint p = layout::button_centre(button);
  return {p.x, p.y};
}
const QPoint kPlay = centre(Element::b_ply);
const QPoint kStop = centre(Element::b_stp);
const QPoint kOpen = centre(Element::b_opn);
const QPoint kClose = centre(Element::b_cls);

QImage square(const QImage& image, QPoint origin) {
  return image.copy(QRect(origin, QSize(40, 40)));
}

int differences(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++count;
  return count;
}

// Which frame of the strip the window's top shows, or -1.
int frame_shown(const QImage& screen, QPoint window, const QImage& strip) {
  const QImage top = screen.copy(QRect(window, QSize(225, 120)));
  for (int frame = 1; frame < 8; ++frame) {
    const QImage candidate = strip.copy(0, frame * 120, 225, 120);
    if (differing_pixels(top, {0, 0}, candidate, QRect(0, 0, 225, 120)) == 0) return frame;
  }
  return differing_pixels(top, {0, 0}, strip, QRect(0, 0, 225, 120)) == 0 ? 0 : -1;
}

TEST_F(ProgramTest, PlayHearsTheClickAndThenTheTune) {
  ASSERT_TRUE(program.start());
  Desktop::click(program.at(kPlay.x(), kPlay.y()));
  const auto click = surely_heard(read_wave(program.folder() + "/click.wav"));
  auto tune = surely_heard(read_wave(program.folder() + "/sample1.wav"));
  tune.resize(44100);  // its first half second
  const long click_at = program.wait_for_samples(click);
  ASSERT_GE(click_at, 0) << "the click was not heard bit for bit";
  const long tune_at = program.wait_for_samples(tune, click_at);
  ASSERT_GE(tune_at, 0) << "the tune was not heard bit for bit after the click";
  EXPECT_GE(tune_at, click_at + static_cast<long>(click.size()));
}

TEST_F(ProgramTest, PressedFaceShowsWhileTheClickSoundsAndNotAfter) {
  program.replace_sound("click.wav", marker_tone(1.5, 1));
  ASSERT_TRUE(program.start());
  const QPoint window = program.window_rect().topLeft();
  for (const auto& [button, face] :
       {std::pair{kPlay, "p_ply.png"}, std::pair{kStop, "p_stp.png"}}) {
    const QPoint corner = window + button - QPoint(20, 20);
    const QImage pressed = asset(face);
    const QImage resting = square(asset("skin.png"), button - QPoint(20, 20));
    QElapsedTimer clock;
    Desktop::click(window + button);
    clock.start();
    Desktop::move_pointer({1000, 750});  // no tool tip over the square
    // The click lasts 1.5 s: the face is up well within it, and gone soon after.
    const QImage during = Desktop::wait_for_screen(
        [&](const QImage& shot) { return differences(square(shot, corner), pressed) == 0; }, 1200);
    EXPECT_EQ(differences(square(during, corner), pressed), 0) << face;
    const int left = std::max(0, 2200 - static_cast<int>(clock.elapsed()));
    const QImage after = Desktop::wait_for_screen(
        [&](const QImage& shot) { return differences(square(shot, corner), resting) == 0; }, left);
    EXPECT_EQ(differences(square(after, corner), resting), 0) << face << " stayed pressed";
    EXPECT_GE(clock.elapsed(), 1400) << face << " went before the click ended";
  }
}

TEST_F(ProgramTest, DomeAnimatesWhileTheSoundPlaysAndStopsOnTheLastFrame) {
  program.replace_sound("sample1.wav", marker_tone(2.0, 2));
  ASSERT_TRUE(program.start());
  const QPoint window = program.window_rect().topLeft();
  const QImage strip = asset("ani_strip.png");

  Desktop::click(window + kPlay);
  QElapsedTimer clock;
  clock.start();
  std::vector<std::pair<qint64, int>> seen;  // (ms, frame)
  while (clock.elapsed() < 1800) {
    const int frame = frame_shown(Desktop::screenshot(), window, strip);
    seen.emplace_back(clock.elapsed(), frame);
  }
  int advances = 0;
  int distinct_changes = 0;
  for (std::size_t i = 1; i < seen.size(); ++i) {
    ASSERT_GE(seen[i].second, 0) << "the dome showed something that is not a frame";
    if (seen[i].second != seen[i - 1].second) {
      ++distinct_changes;
      advances += (seen[i].second - seen[i - 1].second + 8) % 8;
    }
  }
  EXPECT_GE(distinct_changes, 3);
  // Frames advance at about ten a second: count them between the first and
  // last change observed.
  const double seconds = static_cast<double>(seen.back().first - seen.front().first) / 1000.0;
  const double rate = advances / seconds;
  EXPECT_GT(rate, 6.0);
  EXPECT_LT(rate, 14.0);

  // The sound ends at 2 s: the first tick after it draws the last frame, and
  // a running animation would show another within a whole cycle.
  const int last = Desktop::wait_until_steady(
      [&] {
        return clock.elapsed() > 2000 ? frame_shown(Desktop::screenshot(), window, strip) : -2;
      },
      800);
  EXPECT_GE(last, 0) << "animation kept running";

  // Hidden and shown again, the window repaints the frame it kept.
  Desktop::run("xdotool", {"windowunmap", "--sync", program.window_id()});
  Desktop::run("xdotool", {"windowmap", "--sync", program.window_id()});
  EXPECT_EQ(frame_shown(Desktop::wait_for_screen([&](const QImage& shot) {
                          return frame_shown(shot, window, strip) == last;
                        }),
                        window, strip),
            last)
      << "frame lost on repaint";
}

TEST_F(ProgramTest, StopEndsTheSoundAndTheAnimationAtOnce) {
  program.replace_sound("sample1.wav", marker_tone(4.0, 4));
  ASSERT_TRUE(program.start());
  const QPoint window = program.window_rect().topLeft();
  const QImage strip = asset("ani_strip.png");
  Desktop::click(window + kPlay);
  // Stop once the dome has moved on from the resting frame.
  ASSERT_TRUE(
      Desktop::wait_until([&] { return frame_shown(Desktop::screenshot(), window, strip) > 0; }));
  Desktop::click(window + kStop);
  // Stop's own click is the last sound: a third of a second past it is
  // silent, and the dome shows one frame all that time.
  const auto click = surely_heard(read_wave(program.folder() + "/click.wav"));
  const long play_click = program.wait_for_samples(click);
  ASSERT_GE(play_click, 0) << "Play's click was not heard";
  const long stop_click =
      program.wait_for_samples(click, play_click + static_cast<long>(click.size()));
  ASSERT_GE(stop_click, 0) << "Stop's click was not heard";
  const int frame = frame_shown(Desktop::screenshot(), window, strip);
  EXPECT_TRUE(program.silent_after(click, stop_click)) << "sound went on after Stop";
  EXPECT_EQ(frame_shown(Desktop::screenshot(), window, strip), frame) << "the dome went on";
}

// Beside a sound server: eight fresh starts, each with a first Play on a
// sink the server has suspended (PulseAudio's default suspend-on-idle). The
// sink takes its time to resume; that is no failure of the device.
TEST_F(ProgramTest, FreshStartsOnASuspendedSinkPlayWithoutAFalseFailure) {
  if (test::sound_server().empty()) GTEST_SKIP() << "needs a sound server";
  const auto tone = marker_tone(1.0, 5);
  program.replace_sound("sample1.wav", tone);
  // Its middle: the monitor wakes with the sink and may miss the start.
  const std::vector<std::int16_t> middle(tone.begin() + 44100 / 2, tone.begin() + 44100);
  program.let_sink_suspend();
  const auto suspended = [] {
    return Desktop::run("pactl", {"list", "sinks", "short"}, true).contains("SUSPENDED");
  };
  for (int start = 1; start <= 8; ++start) {
    ASSERT_TRUE(program.start()) << "start " << start;
    // PipeWire keeps a sink awake while anything records it, even a recorder
    // that asks not to; the starts are fresh all the same.
    if (test::sound_server() == "pulseaudio") {
      ASSERT_TRUE(Desktop::wait_until(suspended, 15000)) << "the sink stayed awake";
    }
    const auto before = program.audio();
    Desktop::click(program.at(kPlay.x(), kPlay.y()));
    EXPECT_GE(program.wait_for_samples_after(middle, before), 0) << "start " << start;
    Desktop::click(program.at(kClose.x(), kClose.y()));
    EXPECT_EQ(program.wait_for_exit(), 0);
    const QByteArray said = program.errors();
    EXPECT_FALSE(said.contains("sound")) << "start " << start << ": " << said.toStdString();
  }
}

// A wave file at 1 Hz becomes more than 44 000 times longer at the device's
// rate: it is converted piece by piece, away from the window, which goes on
// answering (the dome turns at once) while its memory stays where it was.
TEST_F(ProgramTest, OneHertzFilePlaysWithTheWindowAnsweringAndMemoryFlat) {
  std::vector<std::int16_t> slow(std::size_t{2} * 2048);  // 8 KiB: 34 minutes at 1 Hz
  for (std::size_t i = 0; i < slow.size(); ++i) slow[i] = static_cast<std::int16_t>(i * 13);
  QFile::remove(program.folder() + "/sample1.wav");
  {
    SF_INFO info{};
    info.samplerate = 1;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f =
        sf_open(QFile::encodeName(program.folder() + "/sample1.wav").constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    sf_writef_short(f, slow.data(), 2048);
    sf_close(f);
  }
  ASSERT_TRUE(program.start());
  const QPoint window = program.window_rect().topLeft();
  const QImage strip = asset("ani_strip.png");
  // Reached for, the window loads its sound system and opens the device for
  // a grace period: count that in once its memory has held still for longer.
  Desktop::move_pointer(window + kPlay);
  ASSERT_TRUE(
      Desktop::wait_until([&] { return test::proc::maps(program.pid(), "libwavorin-sound.so"); }));
  const long before_kib = Desktop::wait_until_steady(
      [&] { return static_cast<int>(test::proc::status_kib(program.pid(), "VmRSS")); }, 600);
  ASSERT_GT(before_kib, 0) << "the sound system did not settle";
  QElapsedTimer clock;
  Desktop::click(window + kPlay);
  clock.start();
  Desktop::move_pointer({1000, 750});
  EXPECT_TRUE(Desktop::wait_until(
      [&] { return frame_shown(Desktop::screenshot(), window, strip) > 0; }, 3000));
  // The click, a tick and a screenshot or two (each a tenth of a second or
  // more on a busy machine, 1.01 s in all once beside a loaded sound
  // server): a window that freezes for the conversion takes 2.3 s or more.
  EXPECT_LT(clock.elapsed(), 1500) << "the window did not answer while the file was converted";
  // A second and a half of the sound, converted as it went.
  const auto before = program.audio();
  EXPECT_TRUE(Desktop::wait_until([&] {
    const auto now = program.audio();
    return now.size() - static_cast<std::size_t>(output_after(before, now)) >= 132300;
  }));
  EXPECT_LE(test::proc::status_kib(program.pid(), "VmHWM") - before_kib, 16 * 1024)
      << "memory grew with the file";
  Desktop::click(window + kStop);
}

TEST_F(ProgramTest, DraggingMovesTheWindowByExactlyThePointersMotion) {
  ASSERT_TRUE(program.start());
  auto drag = [&](QPoint from, QPoint by, int button) {
    const QPoint start = program.at(from.x(), from.y());
    Desktop::move_pointer(start);
    Desktop::button_down(button);
    for (int step = 1; step <= 5; ++step) Desktop::move_pointer(start + by * step / 5);
    Desktop::button_up(button);
    const QPoint before = program.window_rect().topLeft();
    // Moves follow the pointer at once; a window that stays waits the span out.
    Desktop::wait_until([&] { return program.window_rect().topLeft() != before; }, 500);
    Desktop::wait_until_still();
  };
  QPoint expected = program.window_rect().topLeft();
  drag({112, 60}, {150, 90}, 1);  // by the dome
  expected += QPoint(150, 90);
  EXPECT_EQ(program.window_rect().topLeft(), expected);
  drag({112, 280}, {-70, 40}, 1);  // by the cabinet
  expected += QPoint(-70, 40);
  EXPECT_EQ(program.window_rect().topLeft(), expected);
  drag({112, 280}, {100, 100}, 3);  // the right button moves nothing
  EXPECT_EQ(program.window_rect().topLeft(), expected);
  drag({kPlay.x(), kPlay.y()}, {100, 0}, 1);  // nor does a press on a button
  EXPECT_EQ(program.window_rect().topLeft(), expected);
}

TEST_F(ProgramTest, CloseSavesThePositionAndTheNextStartOpensThere) {
  ASSERT_TRUE(program.start());
  const QPoint start = program.at(112, 250);
  Desktop::move_pointer(start);
  Desktop::button_down(1);
  Desktop::move_pointer(start + QPoint(150, 100));
  Desktop::move_pointer(start + QPoint(300, 200));
  Desktop::button_up(1);
  Desktop::wait_until([&] { return program.window_rect().topLeft() == QPoint(300, 200); });
  ASSERT_EQ(program.window_rect().topLeft(), QPoint(300, 200));
  Desktop::click(program.at(kClose.x(), kClose.y()));
  EXPECT_EQ(program.wait_for_exit(), 0);
  EXPECT_EQ(program.read_setting("MAIN WINDOW X"), "4500");
  EXPECT_EQ(program.read_setting("MAIN WINDOW Y"), "3000");
  EXPECT_EQ(program.read_setting("Path"), program.folder());

  ASSERT_TRUE(program.start());
  EXPECT_EQ(program.window_rect().topLeft(), QPoint(300, 200));
}

TEST_F(ProgramTest, OpenAChosenFileThenPlayPlaysItAndCancelKeepsIt) {
  QTemporaryDir music;
  ASSERT_TRUE(QDir(music.path()).mkdir("my sounds"));
  const QString chosen = music.path() + "/my sounds/tune.wav";
  const auto tone = marker_tone(0.5, 3);
  write_wave(chosen, tone);
  ASSERT_TRUE(program.start());
  const QPoint window = program.window_rect().topLeft();

  Desktop::click(window + kOpen);
  QString dialog = program.wait_for_dialog("^Open wave$");
  ASSERT_FALSE(dialog.isEmpty()) << "no dialog";
  Desktop::key("ctrl+a");
  Desktop::type(chosen);
  Desktop::key("Return");
  ASSERT_TRUE(Desktop::wait_until_hidden(dialog)) << "dialog stayed";
  Desktop::click(window + kPlay);
  EXPECT_GE(program.wait_for_samples(tone), 0) << "the chosen file was not played";

  // Open again and cancel: the chosen file stays the current sound.
  Desktop::click(window + kOpen);
  dialog = program.wait_for_dialog("^Open wave$");
  ASSERT_FALSE(dialog.isEmpty()) << "no dialog";
  Desktop::key("Escape");
  ASSERT_TRUE(Desktop::wait_until_hidden(dialog)) << "dialog stayed";
  const auto before = program.audio();
  Desktop::click(window + kPlay);
  EXPECT_GE(program.wait_for_samples_after(tone, before), 0) << "Cancel changed the file";

  Desktop::click(window + kClose);
  EXPECT_EQ(program.wait_for_exit(), 0);
  EXPECT_EQ(program.read_setting("Path"), music.path() + "/my sounds");
}

}  // namespace
}  // namespace wavorin::e2e
