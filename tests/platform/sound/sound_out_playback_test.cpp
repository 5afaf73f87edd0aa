#include <algorithm>
#include <filesystem>
#include <thread>

#include "tests/platform/sound/sound_out_fixture.h"

namespace wavorin::test {
namespace {

using std::chrono::milliseconds;

// Idle, or while the device closes after its grace period, a Stop or a name
// that cannot play answers at once: neither needs the device.
TEST_F(SoundOutTest, StopWhenIdleIsHarmlessAndWaitsForNoClosingDevice) {
  EXPECT_EQ(sound().sndPlaySoundA("", SND_NODEFAULT), 1);
  // Each buffer then takes half a second: so does closing the device.
  setenv("SDL_DISKAUDIODELAY", "500", 1);
  sound().warm_up();
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(2000);
  while (!std::filesystem::exists(output_) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(10));
  ASSERT_TRUE(std::filesystem::exists(output_));
  // Past the grace period: the device is being closed.
  std::this_thread::sleep_for(milliseconds(600));
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

TEST_F(SoundOutTest, DestroyedWhileASoundPlaysEndsPromptly) {
  const std::string file = files_.write("long.wav", noise(std::size_t{44100} * 3, 2, 18), 2);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_ASYNC), 1);
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_LT(timed([&] { sound_.reset(); }), 0.5);
}

// A Stop from another thread while a synchronous sound is waited for is
// served at once: the waiting request holds no lock, and it returns too.
TEST_F(SoundOutTest, StopFromAnotherThreadEndsAWaitedSoundAtOnce) {
  const std::string file = files_.write("long.wav", noise(44100, 2, 23), 2);
  sound();
  double waited = 0;
  std::thread player(
      [&] { waited = timed([&] { EXPECT_EQ(sound_->sndPlaySoundA(file, SND_SYNC), 1); }); });
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_LT(timed([&] { EXPECT_EQ(sound_->sndPlaySoundA("", SND_NODEFAULT), 1); }), 0.03);
  player.join();
  EXPECT_LT(waited, 0.3 + 0.2);
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

}  // namespace
}  // namespace wavorin::test
