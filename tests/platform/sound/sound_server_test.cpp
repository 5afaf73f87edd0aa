// The sound service as the program loads it, beside a real sound server
// (scripts/with-sound-server.sh pulseaudio|pipewire), heard at the sink's
// monitor. Skipped on SDL's disk driver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound_module/loaded_sound_service.h"
#include "tests/platform/sound/heard_sound.h"
#include "tests/platform/sound/monitor_recording.h"
#include "tests/platform/sound/test_sounds.h"

namespace wavorin::test {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFramesPerMs = kDeviceRate / 1000;
// A monitor that wakes with its sink may miss that much of the first sound;
// a sink that mixes ahead keeps about 10 ms of a new stream from its monitor.
constexpr std::size_t kMonitorWaking = 30 * kFramesPerMs;
constexpr std::size_t kNewStream = 10 * kFramesPerMs;

std::string command_output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Where `part` starts in `whole` at or after frame `from`, in frames.
std::optional<std::size_t> find_frames(const std::vector<std::int16_t>& whole,
                                       const std::vector<std::int16_t>& part, std::size_t from) {
  if (2 * from > whole.size()) return std::nullopt;
  const auto at = std::search(whole.begin() + static_cast<long>(2 * from), whole.end(),
                              part.begin(), part.end());
  if (at == whole.end()) return std::nullopt;
  return static_cast<std::size_t>(at - whole.begin()) / 2;
}

class SoundServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (sound_server().empty())
      GTEST_SKIP() << "needs a sound server (scripts/with-sound-server.sh)";
    unsetenv("SDL_AUDIODRIVER");
    service_.set_reporter([this](const SoundReport& report) {
      const std::lock_guard lock(reports_mutex_);
      reports_.push_back(report);
    });
  }

  std::size_t report_count() {
    const std::lock_guard lock(reports_mutex_);
    return reports_.size();
  }

  // Waits until `part` has been heard at or after frame `from`.
  std::optional<std::size_t> wait_to_hear(const std::vector<std::int16_t>& part, std::size_t from,
                                          milliseconds timeout = milliseconds(5000)) {
    const auto deadline = Clock::now() + timeout;
    do {
      if (auto at = find_frames(recording_.samples(), part, from)) return at;
      std::this_thread::sleep_for(milliseconds(20));
    } while (Clock::now() < deadline);
    return std::nullopt;
  }

  // Milliseconds from an asynchronous request made now to the first sound
  // the sink mixes after it (the recorder hears it within its piece).
  double ms_to_sound(const std::string& file) {
    const std::size_t before = recording_.frames();
    const auto start = Clock::now();
    EXPECT_EQ(service_.sndPlaySoundA(file, SND_ASYNC), 1);
    while (Clock::now() - start < std::chrono::seconds(2)) {
      if (audible_span(recording_.samples(before))) break;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }

  TestSounds files_;
  MonitorRecording recording_{WAVORIN_MONITOR_RECORDER, files_.path("monitor.raw")};
  std::mutex reports_mutex_;
  std::vector<SoundReport> reports_;
  LoadedSoundService service_{WAVORIN_SOUND_MODULE};  // reports until it is gone
};

// A sink suspended by the server's idle policy wakes for the first request:
// the click and the tune are heard sample for sample, the stream says who
// plays, and Stop is silent at once.
TEST_F(SoundServerTest, SuspendedSinkPlaysClickAndTuneExactlyAndStopsAtOnce) {
  const auto click = noise(4410, 2, 31);
  const auto tune = noise(std::size_t{44100} * 3, 2, 32);
  const std::string click_file = files_.write("click.wav", click, 2);
  const std::string tune_file = files_.write("tune.wav", tune, 2);
  // The server suspends an unused sink after a few seconds.
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  while (command_output("pactl list sinks short").find("SUSPENDED") == std::string::npos &&
         Clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(100));
  }
  ASSERT_NE(command_output("pactl list sinks short").find("SUSPENDED"), std::string::npos);
  ASSERT_TRUE(recording_.start());

  ASSERT_EQ(service_.sndPlaySoundA(click_file, SND_SYNC), 1);
  ASSERT_EQ(service_.sndPlaySoundA(tune_file, SND_ASYNC), 1);
  const std::vector<std::int16_t> click_rest(click.begin() + 2 * kMonitorWaking, click.end());
  const auto click_at = wait_to_hear(click_rest, 0);
  ASSERT_TRUE(click_at) << "the click was not heard sample for sample";
  const std::vector<std::int16_t> tune_start(tune.begin() + 2 * kNewStream, tune.begin() + 44100);
  ASSERT_TRUE(wait_to_hear(tune_start, *click_at)) << "the tune was not heard sample for sample";

  const std::string inputs = command_output("pactl list sink-inputs");
  std::string missing;
  for (const std::string& property : std::vector<std::string>{
           "application.name = \"Wavorin\"", "application.id = \"org.wavorin.Wavorin\"",
           "application.icon_name = \"org.wavorin.Wavorin\"", "media.name = \"tune.wav\"",
           "application.process.id = \"" + std::to_string(getpid()) + "\""}) {
    if (inputs.find(property) == std::string::npos) missing += property + "\n";
  }
  EXPECT_EQ(missing, "") << "the stream does not say\n" << missing << "in\n" << inputs;

  // Stop: counted in the recorded stream from the moment of the request.
  const std::size_t requested = recording_.frames();
  ASSERT_EQ(service_.sndPlaySoundA("", SND_NODEFAULT), 1);
  std::this_thread::sleep_for(milliseconds(300));
  const auto after = audible_span(recording_.samples(requested));
  const double tail_ms = after ? static_cast<double>(after->last + 1) / kFramesPerMs : 0.0;
  // What the sink mixed before the request reaches the file up to a piece
  // later; PipeWire, which cannot take back its graph's cycle, plays that
  // cycle out (it runs in the recorder's pieces).
  const double piece_ms = static_cast<double>(MonitorRecording::piece_frames()) / kFramesPerMs;
  const double cycle_ms = sound_server() == "pipewire" ? piece_ms : 0.0;
  EXPECT_LE(tail_ms, 10.0 + piece_ms + cycle_ms) << "the tune went on after Stop";
  // It fades out rather than being cut: the noise, near full scale in any
  // millisecond, has come down to a quarter of it in the tune's last one.
  const auto heard = recording_.samples(*click_at);
  const auto span = audible_span(heard);
  ASSERT_TRUE(span);
  const auto end = heard.begin() + 2 * static_cast<long>(span->last + 1);
  const auto loudest =
      std::max_element(end - 2 * static_cast<long>(kFramesPerMs), end,
                       [](std::int16_t a, std::int16_t b) { return std::abs(a) < std::abs(b); });
  EXPECT_LE(std::abs(*loudest), 32768 / 4) << "the tune stopped with a step, not a fade";
  EXPECT_EQ(report_count(), 0U) << "a working server was reported as a failure";
}

// A press just before the idle stream's grace period runs out (half a
// second after the sound): its click, at the release a tenth of a second
// later, comes as soon as one at any other moment.
TEST_F(SoundServerTest, PressJustBeforeTheGracePeriodEndsClicksAtOnce) {
  ASSERT_TRUE(recording_.start(true));
  const std::string click = files_.write("click.wav", noise(2205, 2, 33), 2);
  const auto press_after = [&](milliseconds idle) {
    std::vector<double> delays;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(service_.sndPlaySoundA(click, SND_SYNC), 1);
      std::this_thread::sleep_for(idle);
      service_.warm_up();  // the press; its click comes at the release
      std::this_thread::sleep_for(milliseconds(100));
      delays.push_back(ms_to_sound(click));
      std::this_thread::sleep_for(milliseconds(100));  // the click's end
    }
    std::sort(delays.begin(), delays.end());
    return delays[1];
  };
  const double early_ms = press_after(milliseconds(150));
  const double late_ms = press_after(milliseconds(455));
  // Each click reaches the file in the recorder's pieces.
  const double piece_ms = static_cast<double>(MonitorRecording::piece_frames()) / kFramesPerMs;
  EXPECT_LE(late_ms, early_ms + 10.0 + piece_ms)
      << "early " << early_ms << " ms, late " << late_ms << " ms";
  EXPECT_EQ(report_count(), 0U);
}

// A server that dies while a sound plays and comes back: the next request
// connects again and is heard, and the loss is reported at most once.
TEST_F(SoundServerTest, ServerKilledAndStartedAgainThenPlayIsHeard) {
  ASSERT_TRUE(recording_.start());
  const std::string long_file = files_.write("long.wav", noise(std::size_t{44100} * 5, 2, 34), 2);
  const auto tune = noise(44100, 2, 35);
  const std::string tune_file = files_.write("tune.wav", tune, 2);
  ASSERT_EQ(service_.sndPlaySoundA(long_file, SND_ASYNC), 1);
  std::this_thread::sleep_for(milliseconds(500));
  ASSERT_TRUE(control_sound_server("kill"));
  // Long enough for the loss to be noticed while the server is away, and a
  // press then, which finds no server.
  std::this_thread::sleep_for(milliseconds(1500));
  service_.sndPlaySoundA(tune_file, SND_ASYNC);
  ASSERT_TRUE(control_sound_server("start"));
  ASSERT_TRUE(recording_.start());
  const std::size_t restarted = recording_.frames();
  EXPECT_EQ(service_.sndPlaySoundA(tune_file, SND_ASYNC), 1);
  // The sink wakes on the new server with the tune.
  const std::vector<std::int16_t> tune_start(tune.begin() + 2 * kMonitorWaking,
                                             tune.begin() + 22050);
  EXPECT_TRUE(wait_to_hear(tune_start, restarted)) << "Play after the restart was not heard";
  EXPECT_LE(report_count(), 1U);
}

}  // namespace
}  // namespace wavorin::test
