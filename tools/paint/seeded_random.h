#pragma once

#include <cstdint>
#include <random>

namespace wavorin::paint {

// Reproducible random numbers: the committed pictures must come out pixel for
// pixel the same on every run, so the mapping from the engine's output to a
// range is done here rather than by a standard distribution, whose results
// differ between library versions.
class SeededRandom {
 public:
  explicit SeededRandom(std::uint32_t seed);

  // Uniform in [lo, hi).
  double uniform(double lo, double hi);

 private:
  std::mt19937 engine_;
};

}  // namespace wavorin::paint
