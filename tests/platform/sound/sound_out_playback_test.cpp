#include <algorithm>
#include <filesystem>
#include <thread>

#include "tests/platform/sound/sound_out_fixture.h"
#include "tests/support/proc_info.h"

namespace wavorin::test {
namespace {

using std::chrono::milliseconds;

// Margin for a loaded machine on top of the few device buffers a request
// legitimately spends (start of the next buffer, the last one being heard).
constexpr double kSlack = 0.15;

int thread_count() { return proc::entries(proc::kSelf, "task"); }

// Frames from the last one at `full` level down to silence.
std::vector<std::int16_t> tail_after(const std::vector<std::int16_t>& left_right,
                                     std::int16_t full) {
  std::size_t last_full = 0;
  for (std::size_t i = 0; i < left_right.size(); i += 2) {
    if (left_right[i] == full) last_full = i;
  }
  std::vector<std::int16_t> tail;
  for (std::size_t i = last_full; i < left_right.size() && left_right[i] != 0; i += 2) {
    tail.push_back(left_right[i]);
  }
  return tail;
}

// A cut sound falls to silence over a few milliseconds, never in one step.
void expect_ramp_down(const std::vector<std::int16_t>& tail, std::int16_t full) {
  ASSERT_GE(tail.size(), 100U) << "the sound stopped in one step";
  for (std::size_t i = 1; i < tail.size(); ++i) {
    EXPECT_LE(tail[i], tail[i - 1]) << "at " << i;
    EXPECT_LE(tail[i - 1] - tail[i], full / 50) << "at " << i;
  }
}

TEST_F(SoundOutTest, DeviceFormatFilePlaysBitExactAndSyncWaitsUntilHeard) {
  const auto samples = noise(44100 / 4, 2, 1);  // 250 ms
  const std::string file = files_.write("noise.wav", samples, 2);
  int result = 0;
  const double took = timed([&] { result = sound().sndPlaySoundA(file, SND_SYNC); });
  EXPECT_EQ(result, 1);
  EXPECT_GE(took, 0.25 - 0.01);
  EXPECT_LE(took, 0.25 + 3 * kBuffer + kSlack);
  EXPECT_TRUE(contains(heard(), samples));
}

TEST_F(SoundOutTest, AsyncReturnsAtOnceAndTheSoundGoesOn) {
  const auto samples = noise(44100 / 5, 2, 2);
  const std::string file = files_.write("noise.wav", samples, 2);
  int result = 0;
  const double took = timed([&] { result = sound().sndPlaySoundA(file, SND_ASYNC); });
  EXPECT_EQ(result, 1);
  EXPECT_LT(took, 0.1);
  std::this_thread::sleep_for(milliseconds(200 + 100));
  EXPECT_TRUE(contains(heard(), samples));
}

TEST_F(SoundOutTest, NoStopWhileBusyRefusesAndLeavesTheSoundAlone) {
  const auto first = noise(44100 * 3 / 10, 2, 3);
  const auto second = noise(44100 / 10, 2, 4);
  const std::string first_file = files_.write("first.wav", first, 2);
  const std::string second_file = files_.write("second.wav", second, 2);
  ASSERT_EQ(sound().sndPlaySoundA(first_file, SND_ASYNC | SND_NODEFAULT), 1);
  std::this_thread::sleep_for(milliseconds(50));
  int result = -1;
  const double took =
      timed([&] { result = sound().sndPlaySoundA(second_file, SND_NOSTOP | SND_NODEFAULT); });
  EXPECT_EQ(result, 0);
  EXPECT_LT(took, 0.05);
  std::this_thread::sleep_for(milliseconds(300));
  const auto out = heard();
  EXPECT_TRUE(contains(out, first));
  EXPECT_FALSE(contains(out, std::vector<std::int16_t>(second.begin(), second.begin() + 200)));
}

TEST_F(SoundOutTest, NoStopWhenIdlePlaysSynchronously) {
  const std::string file = files_.write("short.wav", noise(44100 / 10, 2, 5), 2);
  int result = 0;
  const double took = timed([&] { result = sound().sndPlaySoundA(file, SND_NOSTOP); });
  EXPECT_EQ(result, 1);
  EXPECT_GE(took, 0.1 - 0.01);
}

TEST_F(SoundOutTest, NewRequestCutsTheSoundWithARampAndPlaysItsOwn) {
  constexpr std::int16_t kFull = 16000;
  const std::string held = files_.write("held.wav", level(0.4, kFull), 2);
  const auto next = noise(44100 / 10, 2, 6);
  const std::string next_file = files_.write("next.wav", next, 2);
  ASSERT_EQ(sound().sndPlaySoundA(held, SND_ASYNC), 1);
  std::this_thread::sleep_for(milliseconds(100));
  ASSERT_EQ(sound().sndPlaySoundA(next_file, SND_SYNC), 1);
  const auto out = heard();
  EXPECT_TRUE(contains(out, next));
  const auto next_start = std::search(out.begin(), out.end(), next.begin(), next.end());
  const std::vector<std::int16_t> before(out.begin(), next_start);
  const auto span = audible_span(before);
  ASSERT_TRUE(span);
  EXPECT_LT(span->seconds(), 0.3) << "the first sound was not cut";
  expect_ramp_down(tail_after(before, kFull), kFull);
}

TEST_F(SoundOutTest, EmptyNameStopsTheSoundWithARamp) {
  constexpr std::int16_t kFull = 20000;
  const std::string held = files_.write("held.wav", level(0.5, kFull), 2);
  ASSERT_EQ(sound().sndPlaySoundA(held, SND_ASYNC), 1);
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(sound().sndPlaySoundA("", SND_NODEFAULT), 1);
  // Nothing plays any more, so a polite request is accepted at once.
  const auto other = noise(441, 2, 7);
  const std::string other_file = files_.write("other.wav", other, 2);
  EXPECT_EQ(sound().sndPlaySoundA(other_file, SND_NOSTOP | SND_ASYNC), 1);
  std::this_thread::sleep_for(milliseconds(100));
  const auto out = heard();
  const auto other_start = std::search(out.begin(), out.end(), other.begin(), other.end());
  ASSERT_NE(other_start, out.end());
  const std::vector<std::int16_t> held_part(out.begin(), other_start);
  const auto span = audible_span(held_part);
  ASSERT_TRUE(span);
  EXPECT_LT(span->seconds(), 0.35);
  expect_ramp_down(tail_after(held_part, kFull), kFull);
}

// Idle, or while the device closes after its grace period, a Stop or a name
// that cannot play answers at once: neither needs the device.
TEST_F(SoundOutTest, StopWhenIdleIsHarmlessAndWaitsForNoClosingDevice) {
  options_.idle_close = milliseconds(50);
  EXPECT_EQ(sound().sndPlaySoundA("", SND_NODEFAULT), 1);
  // Each buffer then takes half a second: so does closing the device.
  setenv("SDL_DISKAUDIODELAY", "500", 1);
  sound().warm_up();
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(2000);
  while (!std::filesystem::exists(output_) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(10));
  ASSERT_TRUE(std::filesystem::exists(output_));
  std::this_thread::sleep_for(milliseconds(150));
  EXPECT_LT(timed([&] { EXPECT_EQ(sound().sndPlaySoundA("", SND_NODEFAULT), 1); }), 0.1);
  EXPECT_LT(timed([&] { sound().sndPlaySoundA(files_.path("missing.wav"), SND_NODEFAULT); }), 0.1);
  EXPECT_FALSE(audible_span(heard()));
}

TEST_F(SoundOutTest, PathsWithSpacesAndJapanesePlay) {
  const auto samples = noise(4410, 2, 8);
  const std::string file = files_.write("ジュークボックス の 曲.wav", samples, 2);
  EXPECT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_TRUE(contains(heard(), samples));
}

// Longer than the ring (half a second) and than any sound kept decoded: it
// streams through the ring, across its wrap many times.
TEST_F(SoundOutTest, SoundLongerThanTheRingPlaysBitExact) {
  const auto samples = noise(std::size_t{44100} * 2, 2, 14);
  const std::string file = files_.write("long.wav", samples, 2);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_TRUE(contains(heard(), samples));
}

// A short sound is kept decoded, but never past a change of its file.
TEST_F(SoundOutTest, ChangedFileIsReadAgain) {
  const auto before = noise(4410, 2, 15);
  const auto after = noise(4410, 2, 16);
  const std::string file = files_.write("click.wav", before, 2);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  files_.write("click.wav", after, 2);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  const auto out = heard();
  EXPECT_TRUE(contains(out, before));
  EXPECT_TRUE(contains(out, after));
}

// While nothing plays the device is given nothing, not even silence.
TEST_F(SoundOutTest, NothingIsFedDuringTheGracePeriod) {
  options_.idle_close = milliseconds(2000);
  const std::string file = files_.write("short.wav", noise(4410, 2, 17), 2);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC), 1);
  std::this_thread::sleep_for(milliseconds(100));
  const auto fed = std::filesystem::file_size(output_);
  std::this_thread::sleep_for(milliseconds(400));
  EXPECT_EQ(std::filesystem::file_size(output_), fed);
}

// Warming up opens the device ahead of a request, parked: nothing is fed.
TEST_F(SoundOutTest, WarmUpOpensTheDeviceAndFeedsNothing) {
  // Open throughout: closing hands the device one last silent buffer.
  options_.idle_close = milliseconds(5000);
  sound().warm_up();
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(2000);
  while (!std::filesystem::exists(output_) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(10));
  ASSERT_TRUE(std::filesystem::exists(output_));
  // SDL may hand a device it opened paused one silent buffer first.
  std::this_thread::sleep_for(milliseconds(100));
  const auto opened = std::filesystem::file_size(output_);
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_EQ(std::filesystem::file_size(output_), opened);
}

TEST_F(SoundOutTest, DestroyedWhileASoundPlaysEndsPromptly) {
  const std::string file = files_.write("long.wav", noise(std::size_t{44100} * 3, 2, 18), 2);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_ASYNC), 1);
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_LT(timed([&] { sound_.reset(); }), 0.5);
}

// Requests from two threads are served one at a time (run it under TSan).
TEST_F(SoundOutTest, RequestsFromTwoThreadsAtOnce) {
  const std::string first = files_.write("first.wav", noise(2205, 2, 19), 2);
  const std::string second = files_.write("second.wav", noise(2205, 2, 20), 2);
  // SDL starts on this thread: what SDL keeps for a thread that calls it is
  // freed when the thread ends only for threads SDL started.
  ASSERT_EQ(sound().sndPlaySoundA(first, SND_SYNC | SND_NODEFAULT), 1);
  const auto requests = [&](const std::string& file) {
    for (int i = 0; i < 10; ++i) {
      // Whether a SND_NOSTOP request finds the other thread's sound still
      // playing is a race; a plain request always ends it and plays.
      const bool no_stop = i % 3 == 0;
      const int played = sound_->sndPlaySoundA(file, no_stop ? SND_NOSTOP : SND_ASYNC);
      if (!no_stop) {
        EXPECT_EQ(played, 1) << "request " << i;
      }
      if (i % 5 == 4) {
        EXPECT_EQ(sound_->sndPlaySoundA("", SND_NODEFAULT), 1);
      }
    }
  };
  std::thread other(requests, second);
  requests(first);
  other.join();
  EXPECT_EQ(sound().sndPlaySoundA(first, SND_SYNC | SND_NODEFAULT), 1);
}

// A press warms the device up just before its grace period ends: it stays
// open for the click that follows, rather than closing under it.
TEST_F(SoundOutTest, WarmUpRenewsTheGracePeriod) {
  options_.idle_close = milliseconds(300);
  const std::string file = files_.write("short.wav", noise(441, 2, 21), 2);
  sound();
  const int idle_threads = thread_count();
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC), 1);
  std::this_thread::sleep_for(milliseconds(250));
  sound().warm_up();
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_GT(thread_count(), idle_threads) << "the device closed under the warm-up";
}

TEST_F(SoundOutTest, DeviceClosesAfterTheGracePeriodAndReopens) {
  options_.idle_close = milliseconds(150);
  const std::string file = files_.write("short.wav", noise(4410, 2, 9), 2);
  sound();
  const int idle_threads = thread_count();
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC), 1);
  EXPECT_GT(thread_count(), idle_threads) << "no audio thread while the device is open";
  const auto ended = std::chrono::steady_clock::now();
  while (thread_count() > idle_threads &&
         std::chrono::steady_clock::now() - ended < std::chrono::seconds(3)) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  const double closed_after =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - ended).count();
  EXPECT_EQ(thread_count(), idle_threads) << "the device stayed open";
  EXPECT_GE(closed_after, 0.15 - 0.02);
  const auto samples = noise(4410, 2, 10);
  const std::string again = files_.write("again.wav", samples, 2);
  EXPECT_EQ(sound().sndPlaySoundA(again, SND_SYNC), 1);
  EXPECT_TRUE(contains(heard(), samples));
}

}  // namespace
}  // namespace wavorin::test
