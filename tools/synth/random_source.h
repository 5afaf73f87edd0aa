#pragma once

#include <cstdint>
#include <random>

namespace wavorin::synth {

// Noise for the synthesiser that is the same on every machine. The standard
// distributions are avoided on purpose: their algorithms are left to each
// library, while std::mt19937's raw output is fixed by the standard.
class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed) : engine_(seed) {}

  // Uniform in [0, 1), in steps of 2^-24.
  double unit();

  // Uniform in [-1, 1).
  double bipolar() { return 2.0 * unit() - 1.0; }

 private:
  std::mt19937 engine_;
};

}  // namespace wavorin::synth
