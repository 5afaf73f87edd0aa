// Measures the sound service on one file: request to first sample at the
// device (first request, device still open, device reopened after the grace
// period), peak resident memory and CPU share while playing. Also writes the large test files.
// Prints figures; never judges.
//
//   wavorin_play_bench make <file.wav> <megabytes> [rf64]
//   wavorin_play_bench play <file.wav> <seconds>
#include <sndfile.h>
#include <sys/resource.h>

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

#include "bench/sound/fifo_listener.h"
#include "platform/sound/sdl_sound_out.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

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
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return -1;
}

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int play(const std::string& path, double seconds) {
  const std::string fifo = "/tmp/wavorin-bench-" + std::to_string(getpid()) + ".fifo";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", fifo.c_str(), 1);
  wavorin::bench::FifoListener listener(fifo);
  wavorin::SdlSoundOut sound;

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
  sound.sndPlaySoundA("", wavorin::SND_NODEFAULT);

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
      "request_ms: first=%.2f open(median)=%.2f reopened=%.2f  peak_rss_mib=%.1f cpu_pct=%.2f\n",
      cold_first * 1e3, warm_firsts[3] * 1e3, warm_firsts.back() * 1e3, reopen_first * 1e3,
      cold_return * 1e3, warm_returns[3] * 1e3, reopen_return * 1e3,
      static_cast<double>(rss) / 1024.0, cpu_share * 100);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "make") {
    return make(args[1], std::stol(args[2]), args.size() > 3 && args[3] == "rf64");
  }
  if (args.size() == 3 && args[0] == "play") return play(args[1], std::stod(args[2]));
  std::fprintf(stderr,
               "usage: wavorin_play_bench make <file.wav> <megabytes> [rf64]\n"
               "       wavorin_play_bench play <file.wav> <seconds>\n");
  return 2;
}
