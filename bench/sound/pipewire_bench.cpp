// Times the native PipeWire output against its floors, heard through the
// tests' passive native tap on the sink's monitor
// (tests/platform/sound/pipewire/native_tap.h), so the tap neither wakes
// the graph nor shortens its cycle. Prints figures; never judges.
//
//   wavorin_pipewire_bench click <click.wav> <times>
//     request -> first sample at the sink, interleaved trial by trial: the
//     output with its stream open (corked), closed (no stream), and first
//     after start (the connection made with the request); the same for the
//     libpulse output through PipeWire's pulse server; the floors: a
//     bare pw_stream kept running at the graph's smallest cycle, and pacat
//     kept open (12.5 ms buffer).
//   wavorin_pipewire_bench stop <times>
//     Stop -> last sample at the sink while a tone plays: a flush, then a
//     5 ms fade from the next sample, as the request layer does; this
//     output, then the libpulse output.
//   wavorin_pipewire_bench play <file.wav> <seconds>
//     plays the file (looped) as a tune, for a load measurement.
//   wavorin_pipewire_bench after <click.wav>
//     plays a click and pauses the stream at its end, as after a sound:
//     the program's node's state 1 s later (pw-dump), whether it is gone
//     once closed, and the seconds until the sink suspends.
#include <sndfile.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/sound/bare_pipewire_stream.h"
#include "bench/sound/bench_source.h"
#include "platform/sound/pipewire/pipewire_output.h"
#include "platform/sound/pulse/pulse_output.h"
#include "tests/platform/sound/pipewire/native_tap.h"

namespace {

using std::chrono::milliseconds;
using wavorin::OutputEvent;
using wavorin::OutputFormat;
using wavorin::OutputListener;
using wavorin::SampleSource;
using wavorin::SoundOutput;
using wavorin::bench::BarePipeWireStream;
using wavorin::bench::BenchSource;
using wavorin::test::NativeTap;

std::int64_t now_ns() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::vector<std::int16_t> read_stereo(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr || info.channels != 2 || info.samplerate != 44100) {
    if (file != nullptr) sf_close(file);
    return {};
  }
  std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames) * 2);
  sf_readf_short(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

class Quiet : public OutputListener {
 public:
  void on_output_event(OutputEvent /*event*/, const std::string& /*reason*/) override {}
};

// Waits until the tap heard the first sample; ms from `from`, or -1.
double first_ms(const NativeTap& tap, std::int64_t from) {
  const std::int64_t deadline = now_ns() + 2'000'000'000;
  while (tap.first_ns() == 0 && now_ns() < deadline) std::this_thread::sleep_for(milliseconds(1));
  return tap.first_ns() == 0 ? -1 : static_cast<double>(tap.first_ns() - from) / 1e6;
}

void print(const char* name, std::vector<double> values) {
  std::erase_if(values, [](double v) { return v < 0; });
  if (values.empty()) {
    std::printf("%s=none ", name);
    return;
  }
  std::sort(values.begin(), values.end());
  std::printf("%s_ms=%.2f %s_min=%.2f %s_max=%.2f ", name, values[values.size() / 2], name,
              values.front(), name, values.back());
}

using Maker = std::unique_ptr<SoundOutput> (*)(OutputListener&, std::string&);

// Ms from the request to the first sample heard: first after start
// (connected with the request), the stream closed (connected, no stream)
// and open (made and corked).
struct ClickTimes {
  std::vector<double> first, closed, open;
};

bool click_once(Maker make, const std::vector<std::int16_t>& samples, NativeTap& tap,
                ClickTimes& times, const std::function<void()>& pause) {
  Quiet quiet;
  std::string refused;
  BenchSource player(samples);
  tap.arm();
  const std::int64_t asked = now_ns();
  auto output = make(quiet, refused);
  if (!output || !output->open(OutputFormat{}, player, "click.wav")) return false;
  player.start();
  output->set_corked(false);
  times.first.push_back(first_ms(tap, asked));
  std::this_thread::sleep_for(milliseconds(100));
  output->close();
  pause();
  tap.arm();
  std::int64_t at = now_ns();
  output->open(OutputFormat{}, player, "click.wav");
  player.start();
  output->set_corked(false);
  times.closed.push_back(first_ms(tap, at));
  std::this_thread::sleep_for(milliseconds(100));
  output->set_corked(true);
  pause();
  tap.arm();
  at = now_ns();
  player.start();
  output->set_corked(false);
  times.open.push_back(first_ms(tap, at));
  std::this_thread::sleep_for(milliseconds(100));
  output->close();
  return true;
}

int clicks(const std::string& path, int times, const std::string& sink) {
  const auto samples = read_stereo(path);
  const auto tap = NativeTap::open(sink);
  if (samples.empty() || !tap) return 1;
  ClickTimes native, pulse;
  std::vector<double> bare, pacat;
  FILE* pacat_pipe = nullptr;
  for (int i = 0; i < times; ++i) {
    const std::function<void()> pause = [i] {
      std::this_thread::sleep_for(milliseconds(300 + 13 * i));
    };
    if (!click_once(&wavorin::pipewire::PipeWireOutput::make, samples, *tap, native, pause)) {
      return 1;
    }
    pause();
    if (!click_once(&wavorin::PulseOutput::make, samples, *tap, pulse, pause)) return 1;
    pause();
    {  // Floor: a bare stream running at the smallest cycle.
      BarePipeWireStream floor(samples);
      std::this_thread::sleep_for(milliseconds(300));
      tap->arm();
      const std::int64_t at = now_ns();
      floor.play();
      bare.push_back(first_ms(*tap, at));
      std::this_thread::sleep_for(milliseconds(100));
    }
    pause();
    // Floor: pacat kept open (it keeps the sink awake while open).
    pacat_pipe = popen(
        "exec pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=12.5 2>/dev/null",
        "w");
    if (pacat_pipe == nullptr) return 1;
    std::this_thread::sleep_for(milliseconds(400));
    tap->arm();
    const std::int64_t at = now_ns();
    std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), pacat_pipe);
    std::fflush(pacat_pipe);
    pacat.push_back(first_ms(*tap, at));
    pclose(pacat_pipe);
    pause();
  }
  print("open", native.open);
  print("closed", native.closed);
  print("first", native.first);
  print("pulse_open", pulse.open);
  print("pulse_closed", pulse.closed);
  print("pulse_first", pulse.first);
  print("bare_pw_stream", bare);
  print("pacat_open", pacat);
  std::printf("\n");
  return 0;
}

// Stop -> last sample at the sink, in ms, for each of `times` tones the
// output plays as a tune; `quantum` is the graph's cycle seen meanwhile.
bool stop_times(Maker make, int times, NativeTap& tap, std::vector<double>& lasts,
                std::uint32_t& quantum) {
  std::vector<std::int16_t> tone(std::size_t{44100} * 2);
  for (std::size_t f = 0; f < 44100; ++f) {
    const auto s = static_cast<std::int16_t>(
        9000 * std::sin(2 * M_PI * 441.0 * static_cast<double>(f) / 44100));
    tone[2 * f] = s;
    tone[2 * f + 1] = s;
  }
  Quiet quiet;
  std::string refused;
  auto output = make(quiet, refused);
  if (!output) return false;
  for (int i = 0; i < times; ++i) {
    BenchSource player(tone, true);
    if (!output->open(OutputFormat{}, player, "sample1.wav")) return false;
    output->set_latency(SoundOutput::Latency::High);
    player.start();
    output->set_corked(false);
    std::this_thread::sleep_for(milliseconds(400 + 17 * i));
    quantum = tap.quantum();
    tap.arm();
    const std::int64_t stop = now_ns();
    output->flush();
    player.stop();
    std::this_thread::sleep_for(milliseconds(300));
    lasts.push_back(tap.last_ns() == 0 ? 0.0 : static_cast<double>(tap.last_ns() - stop) / 1e6);
    output->close();
    std::this_thread::sleep_for(milliseconds(150));
  }
  return true;
}

int stops(int times, const std::string& sink) {
  const auto tap = NativeTap::open(sink);
  if (!tap) return 1;
  std::vector<double> native, pulse;
  std::uint32_t quantum = 0;
  std::uint32_t pulse_quantum = 0;
  if (!stop_times(&wavorin::pipewire::PipeWireOutput::make, times, *tap, native, quantum) ||
      !stop_times(&wavorin::PulseOutput::make, times, *tap, pulse, pulse_quantum)) {
    return 1;
  }
  std::printf("quantum=%u ", quantum);
  print("stop_last", native);
  std::printf("pulse_quantum=%u ", pulse_quantum);
  print("pulse_stop_last", pulse);
  std::printf("\n");
  return 0;
}

int play(const std::string& path, double seconds) {
  BenchSource player(read_stereo(path), true);
  Quiet quiet;
  std::string refused;
  auto output = wavorin::pipewire::PipeWireOutput::make(quiet, refused);
  if (!output || !output->open(OutputFormat{}, player, path)) return 1;
  output->set_latency(SoundOutput::Latency::High);
  player.start();
  output->set_corked(false);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  output->close();
  return 0;
}

// The state pw-dump gives the program's node ("none" without one).
std::string node_state() {
  FILE* dump = popen(
      "pw-dump 2>/dev/null | python3 -c 'import json,sys\n"
      "s=[o[\"info\"][\"state\"] for o in json.load(sys.stdin) "
      "if o.get(\"type\")==\"PipeWire:Interface:Node\" and "
      "o[\"info\"][\"props\"].get(\"application.name\")==\"Wavorin\"]\n"
      "print(\",\".join(s) or \"none\")'",
      "r");
  if (dump == nullptr) return "?";
  char line[256] = {};
  const bool read = std::fgets(line, sizeof line, dump) != nullptr;
  pclose(dump);
  std::string state = read ? line : "?";
  state.erase(std::remove(state.begin(), state.end(), '\n'), state.end());
  return state;
}

bool sink_suspended(const std::string& sink) {
  const std::string command = "pactl list sinks short 2>/dev/null | grep -w " + sink;
  FILE* list = popen(command.c_str(), "r");
  if (list == nullptr) return false;
  char line[512] = {};
  const bool read = std::fgets(line, sizeof line, list) != nullptr;
  pclose(list);
  return read && std::string(line).find("SUSPENDED") != std::string::npos;
}

int after(const std::string& path, const std::string& sink) {
  BenchSource player(read_stereo(path));
  Quiet quiet;
  std::string refused;
  auto output = wavorin::pipewire::PipeWireOutput::make(quiet, refused);
  if (!output || !output->open(OutputFormat{}, player, "click.wav")) return 1;
  player.start();
  output->set_corked(false);
  std::this_thread::sleep_for(milliseconds(100));  // the click (42 ms) and a margin
  output->set_corked(true);
  std::this_thread::sleep_for(milliseconds(1000));
  std::printf("after_1s_node=%s ", node_state().c_str());
  output->close();
  const std::int64_t closed = now_ns();
  std::this_thread::sleep_for(milliseconds(200));
  std::printf("closed_node=%s ", node_state().c_str());
  double suspended = -1;
  while (now_ns() - closed < 15'000'000'000) {
    if (sink_suspended(sink)) {
      suspended = static_cast<double>(now_ns() - closed) / 1e9;
      break;
    }
    std::this_thread::sleep_for(milliseconds(100));
  }
  std::printf("sink_suspended_after_s=%.1f\n", suspended);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const char* sink_variable = std::getenv("WAVORIN_SINK");
  const std::string sink = sink_variable != nullptr ? sink_variable : "";
  if (args.size() == 3 && args[0] == "click") return clicks(args[1], std::stoi(args[2]), sink);
  if (args.size() == 2 && args[0] == "stop") return stops(std::stoi(args[1]), sink);
  if (args.size() == 3 && args[0] == "play") return play(args[1], std::stod(args[2]));
  if (args.size() == 2 && args[0] == "after") return after(args[1], sink);
  std::fprintf(stderr,
               "usage: wavorin_pipewire_bench click <click.wav> <times>\n"
               "       wavorin_pipewire_bench stop <times>\n"
               "       wavorin_pipewire_bench play <file.wav> <seconds>\n"
               "       wavorin_pipewire_bench after <click.wav>\n");
  return 2;
}
