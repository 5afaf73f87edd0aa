#include "tests/platform/sound/heard_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace wavorin::test {

std::optional<Span> audible_span(const std::vector<std::int16_t>& stereo, int threshold) {
  std::optional<Span> span;
  for (std::size_t f = 0; f + 1 < stereo.size(); f += 2) {
    if (std::abs(stereo[f]) > threshold || std::abs(stereo[f + 1]) > threshold) {
      if (!span) span = Span{f / 2, f / 2};
      span->last = f / 2;
    }
  }
  return span;
}

double rms(const std::vector<std::int16_t>& stereo, int channel, Span span) {
  double sum = 0.0;
  for (std::size_t f = span.first; f <= span.last; ++f) {
    const double s = stereo[2 * f + static_cast<std::size_t>(channel)];
    sum += s * s;
  }
  return std::sqrt(sum / static_cast<double>(span.frames()));
}

bool contains(const std::vector<std::int16_t>& whole, const std::vector<std::int16_t>& part) {
  return std::search(whole.begin(), whole.end(), part.begin(), part.end()) != whole.end();
}

}  // namespace wavorin::test
