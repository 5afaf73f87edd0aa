// Every real output through the same cases, as the program plays through
// it: SDL on its disk driver here; libpulse beside a private PulseAudio or
// PipeWire, PipeWire's own client beside PipeWire (the "server" label;
// scripts/with-sound-server.sh).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/sound_system.h"
#include "tests/platform/sound/heard_sound.h"
#include "tests/platform/sound/monitor_recording.h"
#include "tests/platform/sound/test_sounds.h"

namespace wavorin::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string command_output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// The server's word on this program's stream: "corked", "running" or
// "none" (closed); "unseen" where there is no server to ask.
std::string stream_state(bool server) {
  if (!server) return "unseen";
  const std::string inputs = command_output("pactl list sink-inputs");
  const std::string pid = "application.process.id = \"" + std::to_string(getpid()) + "\"";
  const std::size_t ours = inputs.find(pid);
  if (ours == std::string::npos) return "none";
  const std::size_t start = inputs.rfind("Sink Input #", ours);
  const std::size_t corked = inputs.find("Corked: ", start);
  return inputs.compare(corked + 8, 3, "yes") == 0 ? "corked" : "running";
}

// Waits until `state` is the stream's, at most `limit`; true if it came.
bool becomes(bool server, const std::string& state, milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (stream_state(server) != state && Clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(5));
  }
  return !server || stream_state(server) == state;
}

struct Output {
  const char* name;
  bool server;                        // beside a sound server, asked with pactl
  const char* only_beside = nullptr;  // the one server kind it plays to, if any
};

class ConformanceTest : public ::testing::TestWithParam<Output> {
 protected:
  void SetUp() override {
    if (GetParam().server) {
      if (std::getenv("PULSE_SERVER") == nullptr) GTEST_SKIP() << "no sound server";
      if (GetParam().only_beside != nullptr && sound_server() != GetParam().only_beside) {
        GTEST_SKIP() << "plays to " << GetParam().only_beside << " only";
      }
      unsetenv("SDL_AUDIODRIVER");
      setenv("WAVORIN_SOUND_OUTPUT", GetParam().name, 1);
    } else {
      unsetenv("WAVORIN_SOUND_OUTPUT");
      setenv("SDL_AUDIODRIVER", "disk", 1);
      setenv("SDL_DISKAUDIOFILE", files_.path("device.raw").c_str(), 1);
      unsetenv("SDL_DISKAUDIODELAY");
    }
    sound_ = start_sound_system();
  }
  void TearDown() override { unsetenv("WAVORIN_SOUND_OUTPUT"); }

  static double timed(const std::function<void()>& request) {
    const auto start = Clock::now();
    request();
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

  TestSounds files_;
  std::unique_ptr<SoundService> sound_;
};

// A click returns once heard; a tune cut by Stop, or by a request that
// fails, falls silent at once; the stream is corked within 100 ms and
// closed after the grace period.
TEST_P(ConformanceTest, ClickThenCutsCorkAndCloseTheStream) {
  const bool server = GetParam().server;
  const std::string click = files_.write("click.wav", noise(2205, 2, 41), 2);
  const std::string tune = files_.write("tune.wav", noise(std::size_t{44100} * 2, 2, 42), 2);
  const std::string not_wave = files_.write_bytes("notes.wav", {'n', 'o'});
  const double click_took = timed([&] { EXPECT_EQ(sound_->sndPlaySoundA(click, SND_SYNC), 1); });
  EXPECT_GE(click_took, 0.05 - 0.005);
  EXPECT_LE(click_took, 0.05 + 0.1);
  for (const std::string& cut_by : {std::string(), not_wave}) {
    SCOPED_TRACE(cut_by);
    ASSERT_EQ(sound_->sndPlaySoundA(tune, SND_ASYNC | SND_NODEFAULT), 1);
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_TRUE(becomes(server, "running", milliseconds(500)));
    EXPECT_LT(timed([&] { sound_->sndPlaySoundA(cut_by, SND_ASYNC | SND_NODEFAULT); }), 0.01);
    EXPECT_TRUE(becomes(server, "corked", milliseconds(100))) << stream_state(server);
    EXPECT_TRUE(becomes(server, "none", milliseconds(500 + 300))) << stream_state(server);
  }
}

constexpr Output kOutputs[] = {
    {"sdl", false},
    {"pulse", true},
#ifdef WAVORIN_PIPEWIRE_OUTPUT
    {"pipewire", true, "pipewire"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Outputs, ConformanceTest, ::testing::ValuesIn(kOutputs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wavorin::test
