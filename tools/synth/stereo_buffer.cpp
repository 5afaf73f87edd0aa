#include "tools/synth/stereo_buffer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wavorin::synth {

std::size_t frames_for(double seconds) {
  return static_cast<std::size_t>(std::max(0.0, seconds) * sample_rate);
}

StereoBuffer::StereoBuffer(std::size_t frames) : left_(frames, 0.0), right_(frames, 0.0) {}

void StereoBuffer::mix(std::span<const double> mono, std::size_t start_frame, Placement place) {
  if (start_frame >= frames()) {
    return;
  }
  const double angle = (std::clamp(place.pan, -1.0, 1.0) + 1.0) * std::numbers::pi / 4.0;
  const double left_gain = place.gain * std::cos(angle) * std::numbers::sqrt2;
  const double right_gain = place.gain * std::sin(angle) * std::numbers::sqrt2;
  const std::size_t count = std::min(mono.size(), frames() - start_frame);
  for (std::size_t i = 0; i < count; ++i) {
    left_[start_frame + i] += left_gain * mono[i];
    right_[start_frame + i] += right_gain * mono[i];
  }
}

void StereoBuffer::mix(const StereoBuffer& other, double gain) {
  const std::size_t count = std::min(frames(), other.frames());
  for (std::size_t i = 0; i < count; ++i) {
    left_[i] += gain * other.left_[i];
    right_[i] += gain * other.right_[i];
  }
}

double StereoBuffer::peak() const {
  double result = 0.0;
  for (std::size_t i = 0; i < frames(); ++i) {
    result = std::max({result, std::abs(left_[i]), std::abs(right_[i])});
  }
  return result;
}

void StereoBuffer::scale(double factor) {
  for (std::size_t i = 0; i < frames(); ++i) {
    left_[i] *= factor;
    right_[i] *= factor;
  }
}

}  // namespace wavorin::synth
