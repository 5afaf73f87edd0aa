#include "tools/paint/seeded_random.h"

namespace wavorin::paint {

SeededRandom::SeededRandom(std::uint32_t seed) : engine_(seed) {}

double SeededRandom::uniform(double lo, double hi) {
  constexpr double kEngineSpan = 4294967296.0;  // mt19937 yields 32 bits
  return lo + (hi - lo) * (static_cast<double>(engine_()) / kEngineSpan);
}

}  // namespace wavorin::paint
