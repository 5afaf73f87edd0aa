// Measures the sound service on one file: request to first sample at the
// device (first request, device still open, device reopened after the grace
// period), peak resident memory and CPU share while playing. Also writes the
// large test files, plays one file as a bare command-line player, and times
// any player the same way from outside. Prints figures; never judges.
//
//   wavorin_play_bench make <file.wav> <megabytes> [rf64]
//   wavorin_play_bench play <file.wav> <seconds> [disk|native|pulse]
//     (the service as the program loads it from its module: native lets it
//     choose its output as on a desktop, pulse makes it use SDL's driver)
//   wavorin_play_bench once <file.wav> <seconds>
//   wavorin_play_bench time <disk|native|pulse> <seconds> <command> [args...]
//   wavorin_play_bench floor <file.wav> <times>
//     (the server's own floor for a stream kept open: pacat is given the
//     file's samples, write -> first sample at the sink)
#include <sndfile.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "bench/proc/process_reader.h"
#include "bench/sound/child_process.h"
#include "bench/sound/device_tap.h"
#include "platform/sound/sound_system.h"
#include "platform/sound_module/loaded_sound_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using wavorin::bench::ChildProcess;
using wavorin::bench::DeviceTap;

// 16-bit 44.1 kHz stereo, one second at a time; the first sample is loud so
// the listener can tell the sound from the silence before it.
int make(const std::string& path, long megabytes, bool rf64) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = (rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), sf_strerror(nullptr));
    return 1;
  }
  std::vector<short> second(std::size_t{44100} * 2);
  for (std::size_t f = 0; f < 44100; ++f) {
    const auto s = static_cast<short>(
        12000 * std::cos(2 * std::numbers::pi * 441.0 * static_cast<double>(f) / 44100));
    second[2 * f] = s;
    second[2 * f + 1] = s;
  }
  const long long frames = megabytes * 1024LL * 1024LL / 4;
  for (long long done = 0; done < frames; done += 44100) {
    sf_writef_short(file, second.data(), std::min<long long>(44100, frames - done));
  }
  sf_close(file);
  return 0;
}

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peak_rss_kib() {
  return static_cast<long>(wavorin::bench::status_number(::getpid(), "VmHWM"));
}

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int play(const std::string& path, double seconds, DeviceTap::Backend backend) {
  const auto tap = DeviceTap::open(backend);
  if (!tap) return 1;
  for (const auto& [name, value] : tap->player_environment()) {
    setenv(name.c_str(), value.c_str(), 1);
  }
  DeviceTap& listener = *tap;
  wavorin::LoadedSoundService sound(WAVORIN_SOUND_MODULE);

  listener.arm();
  auto start = Clock::now();
  sound.sndPlaySoundA(path, wavorin::SND_ASYNC | wavorin::SND_NODEFAULT);
  const double cold_return = since(start);
  const double cold_first = listener.seconds_to_sound(milliseconds(5000));

  const double cpu_before = cpu_seconds();
  start = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const double cpu_share = (cpu_seconds() - cpu_before) / since(start);
  const long rss = peak_rss_kib();

  // With the device open, the wait depends on where in its buffer period the
  // request falls: several tries, median and worst.
  std::vector<double> warm_firsts;
  std::vector<double> warm_returns;
  for (int i = 0; i < 7; ++i) {
    sound.sndPlaySoundA("", wavorin::SND_NODEFAULT);
    std::this_thread::sleep_for(milliseconds(100 + 7 * i));
    listener.arm();
    start = Clock::now();
    sound.sndPlaySoundA(path, wavorin::SND_ASYNC | wavorin::SND_NODEFAULT);
    warm_returns.push_back(since(start));
    warm_firsts.push_back(listener.seconds_to_sound(milliseconds(5000)));
  }
  std::sort(warm_firsts.begin(), warm_firsts.end());
  std::sort(warm_returns.begin(), warm_returns.end());
  // Stop: from the request to the last sample of the sound at the device.
  std::this_thread::sleep_for(milliseconds(300));
  listener.arm();
  sound.sndPlaySoundA("", wavorin::SND_NODEFAULT);
  std::this_thread::sleep_for(milliseconds(300));
  const double stop_last = listener.seconds_to_last_sound();
  const double stop_sound = listener.seconds_of_sound_since_arm();

  // Past the grace period the device is closed: the next request reopens it.
  std::this_thread::sleep_for(milliseconds(3500));
  listener.arm();
  start = Clock::now();
  sound.sndPlaySoundA(path, wavorin::SND_ASYNC | wavorin::SND_NODEFAULT);
  const double reopen_return = since(start);
  const double reopen_first = listener.seconds_to_sound(milliseconds(5000));
  sound.sndPlaySoundA("", wavorin::SND_NODEFAULT);

  std::printf(
      "first_sample_ms: first=%.1f open(median/max)=%.1f/%.1f reopened=%.1f  "
      "request_ms: first=%.2f open(median)=%.2f reopened=%.2f  peak_rss_mib=%.1f cpu_pct=%.2f "
      "stop_last_sound_ms=%.1f stop_sound_after_ms=%.1f\n",
      cold_first * 1e3, warm_firsts[3] * 1e3, warm_firsts.back() * 1e3, reopen_first * 1e3,
      cold_return * 1e3, warm_returns[3] * 1e3, reopen_return * 1e3,
      static_cast<double>(rss) / 1024.0, cpu_share * 100, stop_last * 1e3, stop_sound * 1e3);
  return 0;
}

// The sound service as a player of its own, so that it can be timed from
// outside like any other player: process start to first sample included.
int once(const std::string& path, double seconds) {
  // The output the environment chooses (the tap sets SDL_AUDIODRIVER).
  const auto sound = wavorin::start_sound_system();
  if (sound->sndPlaySoundA(path, wavorin::SND_ASYNC | wavorin::SND_NODEFAULT) == 0) return 1;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return 0;
}

// Starts `command` with its sound sent to the tap: process start (just before
// fork) to its first non-silent sample at the device, then its peak resident
// memory and CPU share over `seconds` from that sample. A player that ends or
// stays silent is reported as such, with what was measured until then.
int time_player(DeviceTap::Backend backend, double seconds,
                const std::vector<std::string>& command) {
  const auto tap = DeviceTap::open(backend);
  if (!tap) return 1;
  tap->arm();
  ChildProcess player(command, tap->player_environment());
  const double first = tap->seconds_to_sound(milliseconds(20000));

  std::string note;
  long rss = player.peak_rss_kib();
  const double cpu_start = player.cpu_seconds();
  double cpu_end = cpu_start;
  const auto start = Clock::now();
  auto measured_until = start;
  if (first < 0) {
    note = player.running() ? "no sound within 20 s" : "exited without a sound";
  } else {
    while (since(start) < seconds && player.running()) {
      const long r = player.peak_rss_kib();
      const double c = player.cpu_seconds();
      if (r < 0 || c < 0) break;
      rss = r;
      cpu_end = c;
      measured_until = Clock::now();
      std::this_thread::sleep_for(milliseconds(50));
    }
    const double measured = std::chrono::duration<double>(measured_until - start).count();
    if (measured < seconds - 0.1) {
      char text[64];
      std::snprintf(text, sizeof text, "ended %.1f s after its first sample", measured);
      note = text;
    }
  }
  const double window = std::chrono::duration<double>(measured_until - start).count();
  char first_text[32] = "none";
  if (first >= 0) std::snprintf(first_text, sizeof first_text, "%.1f", first * 1e3);
  char rss_text[32] = "n/a";
  if (rss >= 0) std::snprintf(rss_text, sizeof rss_text, "%.1f", static_cast<double>(rss) / 1024.0);
  char cpu_text[32] = "n/a";
  if (window > 0 && cpu_start >= 0) {
    std::snprintf(cpu_text, sizeof cpu_text, "%.2f", (cpu_end - cpu_start) / window * 100);
  }
  std::printf("first_sample_ms=%s peak_rss_mib=%s cpu_pct=%s%s%s\n", first_text, rss_text, cpu_text,
              note.empty() ? "" : " note=", note.c_str());
  return 0;
}

// A stream kept open with a short buffer (12.5 ms, as a low-latency player
// asks), fed a 16-bit 44.1 kHz stereo file `times` times, each once the
// last has been heard; prints the median and extremes of write -> first
// sample at the sink.
int floor_open(const std::string& path, int times) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr || info.channels != 2 || info.samplerate != 44100) {
    std::fprintf(stderr, "%s: not a 44.1 kHz stereo file\n", path.c_str());
    if (file != nullptr) sf_close(file);
    return 1;
  }
  std::vector<short> samples(static_cast<std::size_t>(info.frames) * 2);
  sf_readf_short(file, samples.data(), info.frames);
  sf_close(file);
  const auto tap = DeviceTap::open(DeviceTap::Backend::native);
  if (!tap) return 1;
  // pacat, as a plain client, its input a pipe that stays open between writes.
  FILE* stream = popen(
      "exec pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=12.5 2>/dev/null",
      "w");
  if (stream == nullptr) {
    std::perror("pacat");
    return 1;
  }
  std::this_thread::sleep_for(milliseconds(500));
  std::vector<double> firsts;
  for (int i = 0; i < times; ++i) {
    // Each write at another point of the server's cycle.
    std::this_thread::sleep_for(milliseconds(250 + 7 * i));
    tap->arm();
    std::fwrite(samples.data(), sizeof(short), samples.size(), stream);
    std::fflush(stream);
    const double first = tap->seconds_to_sound(milliseconds(2000));
    if (first >= 0) firsts.push_back(first * 1e3);
  }
  pclose(stream);
  std::sort(firsts.begin(), firsts.end());
  if (firsts.empty()) {
    std::printf("open_first_ms=none\n");
    return 0;
  }
  std::printf("open_first_ms=%.2f min=%.2f max=%.2f n=%zu\n", firsts[firsts.size() / 2],
              firsts.front(), firsts.back(), firsts.size());
  return 0;
}

bool parse_backend(const std::string& name, DeviceTap::Backend& backend) {
  if (name == "disk")
    backend = DeviceTap::Backend::disk;
  else if (name == "native")
    backend = DeviceTap::Backend::native;
  else if (name == "pulse")
    backend = DeviceTap::Backend::pulse;
  else
    return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "make") {
    return make(args[1], std::stol(args[2]), args.size() > 3 && args[3] == "rf64");
  }
  DeviceTap::Backend backend = DeviceTap::Backend::disk;
  if ((args.size() == 3 || args.size() == 4) && args[0] == "play" &&
      (args.size() == 3 || parse_backend(args[3], backend))) {
    return play(args[1], std::stod(args[2]), backend);
  }
  if (args.size() == 3 && args[0] == "floor") return floor_open(args[1], std::stoi(args[2]));
  if (args.size() == 3 && args[0] == "once") return once(args[1], std::stod(args[2]));
  if (args.size() >= 4 && args[0] == "time" && parse_backend(args[1], backend)) {
    return time_player(backend, std::stod(args[2]), {args.begin() + 3, args.end()});
  }
  std::fprintf(stderr,
               "usage: wavorin_play_bench make <file.wav> <megabytes> [rf64]\n"
               "       wavorin_play_bench play <file.wav> <seconds> [disk|native|pulse]\n"
               "       wavorin_play_bench once <file.wav> <seconds>\n"
               "       wavorin_play_bench time <disk|native|pulse> <seconds> <command> [args...]\n"
               "       wavorin_play_bench floor <file.wav> <times>\n");
  return 2;
}
