#include "tools/synth/drums.h"

#include <cmath>
#include <numbers>

#include "tools/synth/biquad.h"
#include "tools/synth/envelope.h"
#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;

double seconds_at(std::size_t frame) { return static_cast<double>(frame) / sample_rate; }

// Brings the last `seconds` of a hit smoothly down to exactly zero.
void fade_tail(std::vector<double>& hit, double seconds) {
  const double end = seconds_at(hit.size() - 1);
  for (std::size_t i = 0; i < hit.size(); ++i) {
    hit[i] *= 1.0 - smooth_step(end - seconds, end, seconds_at(i));
  }
}

}  // namespace

std::vector<double> kick(double velocity, RandomSource& noise) {
  std::vector<double> out(frames_for(0.35));
  Biquad beater = Biquad::low_pass(1800.0, 0.7);
  double phase = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = seconds_at(i);
    phase += (50.0 + 75.0 * std::exp(-t / 0.03)) / sample_rate;
    const double body = std::exp(-t / 0.13) * std::sin(two_pi * phase);
    const double click = 0.5 * std::exp(-t / 0.004) * beater.process(noise.bipolar());
    out[i] = velocity * smooth_step(0.0, 0.002, t) * (body + click);
  }
  fade_tail(out, 0.05);
  return out;
}

std::vector<double> brush_snare(double velocity, RandomSource& noise) {
  std::vector<double> out(frames_for(0.32));
  Biquad band = Biquad::band_pass(3200.0, 0.55);
  Biquad soften = Biquad::low_pass(8000.0, 0.7);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = seconds_at(i);
    // A fast slap of wire on the head, then the brush dragging on.
    const double slap = std::exp(-t / 0.045) + 0.18 * std::exp(-t / 0.16);
    const double wires = soften.process(band.process(noise.bipolar())) * slap;
    const double body = 0.3 * std::exp(-t / 0.035) * std::sin(two_pi * 190.0 * t);
    out[i] = velocity * smooth_step(0.0, 0.004, t) * (1.6 * wires + body);
  }
  fade_tail(out, 0.06);
  return out;
}

std::vector<double> hi_hat(double velocity, bool open, RandomSource& noise) {
  const double ring = open ? 0.25 : 0.025;
  std::vector<double> out(frames_for(open ? 0.9 : 0.12));
  Biquad first = Biquad::high_pass(7000.0, 0.7);
  Biquad second = Biquad::high_pass(7000.0, 0.7);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = seconds_at(i);
    const double metal = second.process(first.process(noise.bipolar()));
    out[i] = velocity * smooth_step(0.0, 0.001, t) * std::exp(-t / ring) * 2.0 * metal;
  }
  fade_tail(out, open ? 0.2 : 0.03);
  return out;
}

}  // namespace wavorin::synth
