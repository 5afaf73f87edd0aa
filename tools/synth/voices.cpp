#include "tools/synth/voices.h"

#include <cmath>
#include <numbers>

#include "tools/synth/biquad.h"
#include "tools/synth/envelope.h"
#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;
// Partials above this are left out: they would only add hiss and aliasing.
constexpr double highest_partial_hz = 12000.0;

double seconds_at(std::size_t frame) { return static_cast<double>(frame) / sample_rate; }

}  // namespace

double midi_to_hz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

std::vector<double> sax_note(const Pitch& note, RandomSource& noise) {
  const auto [frequency_hz, held, velocity] = note;
  const Adsr env{0.03, 0.3, 0.72, 0.08};
  std::vector<double> out(frames_for(env.length(held)) + 1);
  Biquad breath = Biquad::band_pass(2200.0, 0.7);
  Biquad tone = Biquad::low_pass(4500.0, 0.6);
  double phase = 0.0;  // in cycles of the fundamental
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = seconds_at(i);
    const double level = env.level(t, held);
    const double scoop = 1.0 - 0.012 * std::exp(-t / 0.035);
    const double vibrato = 0.0045 * smooth_step(0.18, 0.45, t) * std::sin(two_pi * 5.2 * t);
    const double f = frequency_hz * scoop * (1.0 + vibrato);
    phase += f / sample_rate;
    phase -= std::floor(phase);

    // More breath pressure, more upper partials: the note opens as it swells.
    const double brightness = 0.30 + 0.32 * level * velocity;
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int h = 1; h <= 12 && h * f < highest_partial_hz; ++h) {
      sum += amplitude * std::sin(two_pi * h * phase);
      total += amplitude;
      amplitude *= brightness;
    }
    const double air = 0.05 * breath.process(noise.bipolar()) * (0.4 + level);
    out[i] = velocity * level * tone.process(sum / total + air);
  }
  return out;
}

std::vector<double> piano_chord(std::span<const double> frequencies_hz, double held,
                                double velocity) {
  const Adsr damper{0.004, 10.0, 1.0, 0.06};
  std::vector<double> out(frames_for(damper.length(held)) + 1);
  constexpr double stiffness = 0.0004;
  const double voices = static_cast<double>(frequencies_hz.size());
  for (const double f0 : frequencies_hz) {
    for (int h = 1; h <= 8; ++h) {
      const double f = h * f0 * std::sqrt(1.0 + stiffness * h * h);
      if (f >= highest_partial_hz) {
        break;
      }
      // A harder strike gives relatively more of the upper partials.
      const double amplitude = std::pow(h, -(1.9 - 0.5 * velocity)) / voices;
      const double decay_per_second = 1.5 + 0.9 * h;
      for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = seconds_at(i);
        out[i] += amplitude * std::exp(-decay_per_second * t) * std::sin(two_pi * f * t);
      }
    }
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] *= velocity * damper.level(seconds_at(i), held);
  }
  return out;
}

std::vector<double> bass_note(const Pitch& note) {
  const auto [frequency_hz, held, velocity] = note;
  const Adsr env{0.006, 0.18, 0.55, 0.05};
  std::vector<double> out(frames_for(env.length(held)) + 1);
  constexpr double partials[] = {1.0, 0.5, 0.22, 0.1, 0.05};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = seconds_at(i);
    double sum = 0.0;
    int h = 1;
    for (const double amplitude : partials) {
      // The string's upper partials fade faster than its fundamental.
      sum += amplitude * std::exp(-t * 2.5 * (h - 1)) * std::sin(two_pi * h * frequency_hz * t);
      ++h;
    }
    out[i] = velocity * env.level(t, held) * sum / 1.6;
  }
  return out;
}

}  // namespace wavorin::synth
