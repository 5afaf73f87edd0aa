#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace wavorin::synth {

// Every sound the program ships is written at this rate (frames per second).
constexpr int sample_rate = 44100;

// Converts seconds to a whole number of frames, rounding down.
std::size_t frames_for(double seconds);

// Where a voice stands and how loud it plays: `pan` from -1 (hard left)
// through 0 (centre) to +1 (hard right), `gain` a plain factor.
struct Placement {
  double gain;
  double pan;
};

// Two channels of samples with full scale at +-1.
class StereoBuffer {
 public:
  explicit StereoBuffer(std::size_t frames);

  std::size_t frames() const { return left_.size(); }
  std::span<double> left() { return left_; }
  std::span<double> right() { return right_; }
  std::span<const double> left() const { return left_; }
  std::span<const double> right() const { return right_; }

  // Adds `mono` from `start_frame` on, panned with a constant-power law so a
  // voice keeps its loudness wherever it sits. Samples past the end are lost.
  void mix(std::span<const double> mono, std::size_t start_frame, Placement place);

  // Adds `other` frame by frame, scaled by `gain`.
  void mix(const StereoBuffer& other, double gain);

  // The largest absolute sample of either channel.
  double peak() const;

  void scale(double factor);

 private:
  std::vector<double> left_;
  std::vector<double> right_;
};

}  // namespace wavorin::synth
