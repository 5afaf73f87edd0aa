#include "tools/synth/click_sound.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/synth/biquad.h"
#include "tools/synth/envelope.h"
#include "tools/synth/random_source.h"

namespace wavorin::synth {

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;
constexpr double length_s = 0.042;
constexpr double fade_s = 0.008;    // ends before the last millisecond
constexpr double silent_s = 0.001;  // true zeros at the very end
constexpr double peak_level = 0.5;  // -6 dBFS: a click, not a bang
constexpr double latch_s = 0.011;   // the key catching its latch after the strike

struct Partial {
  double frequency_hz;
  double amplitude;
  double time_constant_s;
};

// The ring of the key's steel lever and its stop, heard for a few milliseconds.
constexpr Partial strike_partials[] = {
    {2350.0, 1.0, 0.0050}, {2810.0, 0.45, 0.0065}, {3170.0, 0.7, 0.0035}, {3920.0, 0.4, 0.0025}};

double ring(double t, double pitch) {
  double sum = 0.0;
  for (const Partial& p : strike_partials) {
    sum += p.amplitude * std::exp(-t / p.time_constant_s) *
           std::sin(two_pi * p.frequency_hz * pitch * t);
  }
  return sum;
}

}  // namespace

StereoBuffer make_click() {
  const std::size_t frames = frames_for(length_s);
  std::vector<double> x(frames, 0.0);
  RandomSource noise(0x00C11C4BU);
  Biquad grit = Biquad::band_pass(3000.0, 0.9);
  Biquad crack = Biquad::high_pass(1500.0, 0.7);
  double thunk_phase = 0.0;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sample_rate;
    const double strike = ring(t, 1.0);
    const double latch = t >= latch_s ? 0.35 * ring(t - latch_s, 1.06) : 0.0;
    // The cabinet's wood answering the blow: a low knock falling in pitch.
    thunk_phase += (140.0 + 90.0 * std::exp(-t / 0.006)) / sample_rate;
    const double thunk = 0.9 * std::exp(-t / 0.011) * std::sin(two_pi * thunk_phase);
    const double rattle = 1.1 * std::exp(-t / 0.0025) * grit.process(noise.bipolar());
    const double snap = 1.4 * std::exp(-t / 0.0004) * crack.process(noise.bipolar());
    x[i] = strike + latch + thunk + rattle + snap;
  }
  // The metal's first contact: the sound is at full tilt from sample one.
  x[0] += 1.2;

  const double end = length_s - silent_s;
  std::vector<double> window(frames);
  double windowed_sum = 0.0;
  double window_sum = 0.0;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sample_rate;
    window[i] = 1.0 - smooth_step(end - fade_s, end, t);
    windowed_sum += window[i] * x[i];
    window_sum += window[i];
  }
  // Taking this offset out under the window leaves the faded sound with an
  // exact zero mean, and the faded-out end still exactly zero.
  const double offset = windowed_sum / window_sum;
  StereoBuffer click(frames);
  double peak = 0.0;
  for (std::size_t i = 0; i < frames; ++i) {
    x[i] = window[i] * (x[i] - offset);
    peak = std::max(peak, std::abs(x[i]));
  }
  for (std::size_t i = 0; i < frames; ++i) {
    click.left()[i] = peak_level * x[i] / peak;
    click.right()[i] = click.left()[i];
  }
  return click;
}

}  // namespace wavorin::synth
