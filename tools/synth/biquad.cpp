#include "tools/synth/biquad.h"

#include <cmath>
#include <numbers>

#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

namespace {

// The frequency as an angle per sample, in radians.
double omega(double frequency_hz) { return 2.0 * std::numbers::pi * frequency_hz / sample_rate; }

}  // namespace

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

Biquad Biquad::low_pass(double cutoff_hz, double q) {
  const double c = std::cos(omega(cutoff_hz));
  const double alpha = std::sin(omega(cutoff_hz)) / (2.0 * q);
  return {(1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha};
}

Biquad Biquad::high_pass(double cutoff_hz, double q) {
  const double c = std::cos(omega(cutoff_hz));
  const double alpha = std::sin(omega(cutoff_hz)) / (2.0 * q);
  return {(1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha};
}

Biquad Biquad::band_pass(double centre_hz, double q) {
  const double c = std::cos(omega(centre_hz));
  const double alpha = std::sin(omega(centre_hz)) / (2.0 * q);
  return {alpha, 0.0, -alpha, 1.0 + alpha, -2.0 * c, 1.0 - alpha};
}

double Biquad::process(double x) {
  // Transposed direct form II: two state values, well behaved at low cutoffs.
  const double y = b0_ * x + z1_;
  z1_ = b1_ * x - a1_ * y + z2_;
  z2_ = b2_ * x - a2_ * y;
  return y;
}

void Biquad::process(std::span<double> samples) {
  for (double& s : samples) {
    s = process(s);
  }
}

}  // namespace wavorin::synth
