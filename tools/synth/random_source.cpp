#include "tools/synth/random_source.h"

namespace wavorin::synth {

double RandomSource::unit() {
  // The top 24 of the engine's 32 bits; every such value is exact in a double.
  constexpr double step = 1.0 / 16777216.0;
  return static_cast<double>(engine_() >> 8U) * step;
}

}  // namespace wavorin::synth
