#pragma once

#include <span>

namespace wavorin::synth {

// A second-order filter section (the usual audio-cookbook designs) at the
// synthesiser's sample rate. Frequencies are in Hz, below half that rate.
class Biquad {
 public:
  static Biquad low_pass(double cutoff_hz, double q);
  static Biquad high_pass(double cutoff_hz, double q);
  // Unity gain at `centre_hz`.
  static Biquad band_pass(double centre_hz, double q);

  double process(double x);
  void process(std::span<double> samples);

 private:
  Biquad(double b0, double b1, double b2, double a0, double a1, double a2);

  double b0_;
  double b1_;
  double b2_;
  double a1_;
  double a2_;
  double z1_ = 0.0;
  double z2_ = 0.0;
};

}  // namespace wavorin::synth
