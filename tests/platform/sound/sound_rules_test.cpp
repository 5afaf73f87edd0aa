// The sound rules over the fake output, in virtual time: every rule once,
// whatever output plays it.
#include "platform/sound/rules/sound_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/fake/fake_output.h"
#include "platform/sound/fake/virtual_clock.h"
#include "tests/platform/sound/heard_sound.h"
#include "tests/platform/sound/test_sounds.h"

namespace wavorin::test {
namespace {

using std::chrono::milliseconds;
using Server = FakeOutput::Server;

class RulesTest : public ::testing::Test {
 protected:
  RulesTest() {
    clock_.add_ticker([this](milliseconds step) {
      if (rules_) fake_->tick(step);
    });
  }

  SoundRules& rules() {
    if (!rules_) {
      rules_ = std::make_unique<SoundRules>(
          [this](OutputListener& listener) {
            auto output = std::make_unique<FakeOutput>(listener, setup_);
            fake_ = output.get();
            return output;
          },
          clock_);
      rules_->set_reporter([this](const SoundReport& report) { reports_.push_back(report); });
    }
    return *rules_;
  }
  FakeOutput& fake() {
    rules();
    return *fake_;
  }

  // Virtual milliseconds `request` took.
  template <typename Request>
  long long took(Request request) {
    const auto start = clock_.now();
    request();
    return std::chrono::duration_cast<milliseconds>(clock_.now() - start).count();
  }
  int count(SoundProblem problem) const {
    return static_cast<int>(std::count_if(reports_.begin(), reports_.end(),
                                          [&](const auto& r) { return r.problem == problem; }));
  }

  // A stream cut at full level falls to silence over about 5 ms, never in
  // one step, and nothing of the cut sound follows.
  void expect_faded(std::int16_t full, const std::vector<std::int16_t>& out) {
    std::size_t last_full = 0;
    for (std::size_t i = 0; i < out.size(); i += 2) {
      if (out[i] == full) last_full = i;
    }
    std::vector<std::int16_t> tail;
    for (std::size_t i = last_full; i < out.size() && out[i] != 0; i += 2) tail.push_back(out[i]);
    ASSERT_GE(tail.size(), 200U) << "the sound stopped in one step";
    EXPECT_LE(tail.size(), 230U);
    for (std::size_t i = 1; i < tail.size(); ++i) EXPECT_LE(tail[i], tail[i - 1]);
  }

  TestSounds files_;
  VirtualClock clock_;
  FakeOutput::Setup setup_{};
  FakeOutput* fake_ = nullptr;
  std::vector<SoundReport> reports_;
  std::unique_ptr<SoundRules> rules_;
};

// SYNC returns once the output has played the sound, bit-exact, whether or
// not the output tells Drained; the stream is corked when it does (or after
// the cork wait when it never does) and closed after the grace period, not
// before.
TEST_F(RulesTest, SyncReturnsWhenPlayedThenCorksAndClosesAfterTheGrace) {
  for (const bool tells_drained : {false, true}) {
    SCOPED_TRACE(tells_drained);
    setup_.buffer_frames = tells_drained ? std::size_t{3} * 44100 : 2048;
    setup_.tells_drained = tells_drained;
    rules_.reset();
    const auto samples = noise(44100 / 4, 2, 1);
    const std::string file = files_.write("noise.wav", samples, 2);
    int result = -1;
    const long long ms = took([&] { result = rules().sndPlaySoundA(file, SND_SYNC); });
    EXPECT_EQ(result, 1);
    EXPECT_GE(ms, 250);
    EXPECT_LE(ms, 250 + 5);
    EXPECT_TRUE(contains(fake().heard(), samples));
    EXPECT_EQ(fake().corked(), tells_drained);
    if (!tells_drained) {
      clock_.advance(milliseconds(60));
      EXPECT_TRUE(fake().corked());
    }
    clock_.advance(milliseconds(490));
    EXPECT_TRUE(fake().is_open());
    clock_.advance(milliseconds(20));
    EXPECT_FALSE(fake().is_open());
  }
}

TEST_F(RulesTest, AsyncReturnsAtOnceAndNoStopLeavesAPlayingSoundAlone) {
  const auto first = noise(44100 * 3 / 10, 2, 3);
  const auto second = noise(44100 / 10, 2, 4);
  const std::string first_file = files_.write("first.wav", first, 2);
  const std::string second_file = files_.write("second.wav", second, 2);
  EXPECT_EQ(took([&] { EXPECT_EQ(rules().sndPlaySoundA(first_file, SND_ASYNC), 1); }), 0);
  clock_.advance(milliseconds(50));
  EXPECT_EQ(took([&] { EXPECT_EQ(rules().sndPlaySoundA(second_file, SND_NOSTOP), 0); }), 0);
  clock_.advance(milliseconds(300));
  EXPECT_TRUE(contains(fake().heard(), first));
  // Idle now: the polite request plays, synchronously.
  EXPECT_GE(took([&] { EXPECT_EQ(rules().sndPlaySoundA(second_file, SND_NOSTOP), 1); }), 100);
  EXPECT_TRUE(contains(fake().heard(), second));
}

// A Stop, a new sound, or a request that fails each cut the playing sound
// with a fade; with nothing after it the stream is corked within the fade
// and a cycle, and closed after the grace period. Also where the server
// counts what it read as played and, just flushed, says at once that it
// has played everything out (PipeWire's pulse server): the fade is heard.
TEST_F(RulesTest, ACutFadesAndCorksTheStream) {
  constexpr std::int16_t kFull = 20000;
  const std::string held = files_.write("held.wav", level(1.0, kFull), 2);
  const std::string not_wave = files_.write_bytes("notes.wav", {'h', 'e', 'l', 'l', 'o'});
  for (const std::string& cut_by : {std::string(), files_.path("missing.wav"), not_wave}) {
    SCOPED_TRACE(cut_by);
    setup_.counts_read = !cut_by.empty();
    rules_.reset();
    ASSERT_EQ(rules().sndPlaySoundA(held, SND_ASYNC | SND_NODEFAULT), 1);
    clock_.advance(milliseconds(200));
    EXPECT_EQ(took([&] { rules().sndPlaySoundA(cut_by, SND_ASYNC | SND_NODEFAULT); }), 0);
    clock_.advance(milliseconds(20));
    EXPECT_TRUE(fake().corked());
    expect_faded(kFull, fake().heard());
    clock_.advance(milliseconds(470));
    EXPECT_TRUE(fake().is_open());
    clock_.advance(milliseconds(20));
    EXPECT_FALSE(fake().is_open());
  }
  EXPECT_EQ(count(SoundProblem::FileUnplayable), 2);

  setup_.counts_read = false;
  rules_.reset();
  const auto click = noise(std::size_t{441} * 3, 2, 6);
  const std::string click_file = files_.write("click.wav", click, 2);
  ASSERT_EQ(rules().sndPlaySoundA(held, SND_ASYNC), 1);
  clock_.advance(milliseconds(200));
  EXPECT_EQ(rules().sndPlaySoundA(click_file, SND_SYNC), 1);
  const auto& out = fake().heard();
  const auto click_start = std::search(out.begin(), out.end(), click.begin(), click.end());
  ASSERT_NE(click_start, out.end());
  expect_faded(kFull, std::vector<std::int16_t>(out.begin(), click_start));
}

// A warm-up, and each sound's end, start the grace period again: a press
// just before it ends finds the stream still open for its click.
TEST_F(RulesTest, WarmUpRenewsTheGracePeriod) {
  const std::string file = files_.write("short.wav", noise(441, 2, 5), 2);
  rules().warm_up();
  EXPECT_TRUE(fake().is_open());
  EXPECT_TRUE(fake().corked());
  clock_.advance(milliseconds(400));
  rules().warm_up();
  clock_.advance(milliseconds(400));
  ASSERT_TRUE(fake().is_open());
  EXPECT_EQ(rules().sndPlaySoundA(file, SND_SYNC), 1);
  clock_.advance(milliseconds(450));
  EXPECT_TRUE(fake().is_open());
  EXPECT_EQ(fake().opens(), 1);
}

// A server that plays nothing (suspended, stopped) or is absent, or plays
// late, holds a synchronous request no longer than its sound's length and
// 50 ms.
TEST_F(RulesTest, ASilentServerNeverHoldsASyncRequest) {
  const auto click_samples = noise(std::size_t{441} * 3, 2, 8);
  const std::string click = files_.write("click.wav", click_samples, 2);
  // A device two seconds ahead, with silence, when the stream starts: the
  // click is let go of, not cut, and what follows is heard behind it.
  setup_.ahead_frames = std::size_t{2} * 44100;
  const auto tune_samples = noise(4410, 2, 12);
  const std::string tune = files_.write("tune.wav", tune_samples, 2);
  EXPECT_LE(took([&] { EXPECT_EQ(rules().sndPlaySoundA(click, SND_SYNC), 1); }), 30 + 50);
  EXPECT_EQ(rules().sndPlaySoundA(tune, SND_ASYNC), 1);
  clock_.advance(milliseconds(2200));
  auto both = click_samples;
  both.insert(both.end(), tune_samples.begin(), tune_samples.end());
  EXPECT_TRUE(contains(fake().heard(), both)) << "the late click was cut";
  setup_.ahead_frames = 0;

  for (const Server server : {Server::Suspended, Server::Stopped, Server::Absent}) {
    rules_.reset();
    fake().set_server(server);
    const long long ms = took([&] { rules().sndPlaySoundA(click, SND_SYNC | SND_NODEFAULT); });
    EXPECT_GE(ms, 30);
    EXPECT_LE(ms, 30 + 50);
    if (server == Server::Suspended) {
      // A device slow to wake plays the whole click when it does.
      fake().set_server(Server::Running);
      clock_.advance(milliseconds(100));
      EXPECT_TRUE(contains(fake().heard(), click_samples))
          << "the click of a waking device was cut";
    }
  }
  // Absent, it is told once per outage.
  EXPECT_EQ(rules().sndPlaySoundA(click, SND_SYNC | SND_NODEFAULT), 0);
  EXPECT_EQ(count(SoundProblem::NoDevice), 1);
}

// The server goes while idle and comes back before the next press: the
// outage is over, and nothing is told of it.
TEST_F(RulesTest, AnOutageOverTakesBackItsReport) {
  const std::string click = files_.write("click.wav", noise(std::size_t{441} * 3, 2, 9), 2);
  EXPECT_EQ(rules().sndPlaySoundA(click, SND_SYNC | SND_NODEFAULT), 1);
  fake().lose();
  clock_.advance(milliseconds(100));
  rules().warm_up();
  fake().set_server(Server::Running);
  EXPECT_EQ(rules().sndPlaySoundA(click, SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_TRUE(reports_.empty());

  // Gone under a playing sound: that request fails and it is told once.
  const std::string tune = files_.write("tune.wav", noise(44100, 2, 10), 2);
  clock_.add_ticker([this, lose_at = clock_.now() + milliseconds(300)](milliseconds) {
    if (clock_.now() == lose_at) fake().lose();
  });
  EXPECT_EQ(rules().sndPlaySoundA(tune, SND_SYNC | SND_NODEFAULT), 0);
  EXPECT_EQ(rules().sndPlaySoundA(click, SND_SYNC | SND_NODEFAULT), 0);
  EXPECT_EQ(count(SoundProblem::DeviceFailed), 1);
  EXPECT_EQ(count(SoundProblem::NoDevice), 0);
}

// A long sound asks for a long latency, a click for a short one, and the
// mixers are shown the file's name.
TEST_F(RulesTest, EachSoundTellsItsLatencyAndName) {
  const std::string tune = files_.write("tune one.wav", level(1.5, 100), 2);
  const std::string click = files_.write("click.wav", noise(441, 2, 11), 2);
  ASSERT_EQ(rules().sndPlaySoundA(tune, SND_ASYNC), 1);
  EXPECT_EQ(fake().latency(), SoundOutput::Latency::High);
  EXPECT_EQ(fake().media_name(), "tune one.wav");
  ASSERT_EQ(rules().sndPlaySoundA(click, SND_SYNC), 1);
  EXPECT_EQ(fake().latency(), SoundOutput::Latency::Low);
}

}  // namespace
}  // namespace wavorin::test
