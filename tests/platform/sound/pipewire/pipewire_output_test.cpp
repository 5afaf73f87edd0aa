#include "platform/sound/pipewire/pipewire_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/platform/sound/monitor_recording.h"
#include "tests/platform/sound/pipewire/native_tap.h"

namespace wavorin {
namespace {

using namespace std::chrono_literals;

// A tone as long as asked, pulled as the stream wants it.
class Tone : public SampleSource {
 public:
  std::size_t pull(std::int16_t* out, std::size_t frames) noexcept override {
    for (std::size_t frame = 0; frame < frames; ++frame, ++phase_) {
      const auto value =
          static_cast<std::int16_t>(6000 * std::sin(static_cast<double>(phase_) * 0.0627));
      out[2 * frame] = value;
      out[2 * frame + 1] = value;
    }
    return frames;
  }

 private:
  std::size_t phase_ = 0;
};

class Ignore : public OutputListener {
 public:
  void on_output_event(OutputEvent /*event*/, const std::string& /*reason*/) override {}
};

// The graph's cycle once it has settled after a change: the quantum the tap
// saw last, after `settle`, when it is seen again after another few cycles.
std::uint32_t settled_quantum(const test::NativeTap& tap, std::chrono::milliseconds settle) {
  std::this_thread::sleep_for(settle);
  const std::uint64_t cycles = tap.cycles();
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (tap.cycles() < cycles + 4 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  return tap.quantum();
}

// A short sound starts at a short cycle and, past its start, asks a longer
// one; a tune asks a large one: while it plays the graph must not stay at
// the click's cycle, or every device and client on it wakes some hundred
// times a second.
TEST(SoundServerTest, PipeWireTuneRunsTheGraphAtALargerCycleThanTheClick) {
  if (test::sound_server() != "pipewire") GTEST_SKIP() << "beside a private PipeWire only";
  const char* sink = std::getenv("WAVORIN_SINK");
  ASSERT_NE(sink, nullptr);
  auto tap = test::NativeTap::open(sink);
  ASSERT_TRUE(tap);

  Ignore listener;
  std::string refused;
  auto output = pipewire::PipeWireOutput::make(listener, refused);
  ASSERT_TRUE(output) << refused;
  Tone tone;
  ASSERT_TRUE(output->open(OutputFormat{}, tone, "click.wav")) << output->why();
  tap->arm();
  output->set_latency(SoundOutput::Latency::Low);
  output->set_corked(false);
  const std::uint32_t past_start = settled_quantum(*tap, 300ms);
  const std::uint32_t start = tap->first_quantum();

  output->set_media_name("sample1.wav");
  output->set_latency(SoundOutput::Latency::High);
  const std::uint32_t tune = settled_quantum(*tap, 300ms);
  output->close();

  EXPECT_GT(start, 0U);
  EXPECT_LE(start, 256U) << "a short sound does not start at a short cycle";
  EXPECT_GT(past_start, start) << "a short sound holds the graph at its start's cycle";
  EXPECT_GE(tune, 1024U) << "the tune holds the graph at " << tune << " frames";
}

}  // namespace
}  // namespace wavorin
