#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace wavorin::test {

// Analysis of what the device received: interleaved 16-bit stereo at 44.1 kHz.
constexpr int kDeviceRate = 44100;

struct Span {
  std::size_t first;  // frame index
  std::size_t last;   // frame index, inclusive
  std::size_t frames() const { return last - first + 1; }
  double seconds() const { return static_cast<double>(frames()) / kDeviceRate; }
};

// First to last frame where a channel's magnitude exceeds `threshold`.
std::optional<Span> audible_span(const std::vector<std::int16_t>& stereo, int threshold = 0);
// Root mean square of one channel (0 left, 1 right) over `span`.
double rms(const std::vector<std::int16_t>& stereo, int channel, Span span);
// True when `part` occurs in `whole` sample for sample.
bool contains(const std::vector<std::int16_t>& whole, const std::vector<std::int16_t>& part);

}  // namespace wavorin::test
