#include "tools/synth/room_reverb.h"

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace wavorin::synth {

namespace {

// Delay lengths in frames at 44.1 kHz: mutually prime, so echoes do not pile up.
constexpr std::array<std::size_t, 8> comb_frames = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, 4> allpass_frames = {556, 441, 341, 225};
constexpr std::size_t stereo_spread = 23;
constexpr double input_gain = 0.015;

class DelayLine {
 public:
  explicit DelayLine(std::size_t frames) : samples_(frames, 0.0) {}
  double front() const { return samples_[position_]; }
  void push(double x) {
    samples_[position_] = x;
    position_ = (position_ + 1) % samples_.size();
  }

 private:
  std::vector<double> samples_;
  std::size_t position_ = 0;
};

struct Tank {
  std::size_t spread;  // frames added to every delay
  double feedback;
  double damping;
};

void run_tank(std::span<const double> input, std::span<double> output, const Tank& tank) {
  const double feedback = tank.feedback;
  const double damping = tank.damping;
  std::vector<DelayLine> combs;
  combs.reserve(comb_frames.size());
  std::vector<double> lowpass(comb_frames.size(), 0.0);
  for (const std::size_t n : comb_frames) {
    combs.emplace_back(n + tank.spread);
  }
  std::vector<DelayLine> allpasses;
  allpasses.reserve(allpass_frames.size());
  for (const std::size_t n : allpass_frames) {
    allpasses.emplace_back(n + tank.spread);
  }
  for (std::size_t i = 0; i < input.size(); ++i) {
    const double x = input[i] * input_gain;
    double y = 0.0;
    for (std::size_t c = 0; c < combs.size(); ++c) {
      const double delayed = combs[c].front();
      lowpass[c] = delayed * (1.0 - damping) + lowpass[c] * damping;
      combs[c].push(x + lowpass[c] * feedback);
      y += delayed;
    }
    for (DelayLine& allpass : allpasses) {
      const double delayed = allpass.front();
      allpass.push(y + delayed * 0.5);
      y = delayed - y;
    }
    output[i] = y;
  }
}

}  // namespace

RoomReverb::RoomReverb(Shape shape)
    : feedback_(0.7 + 0.28 * shape.size), damping_(0.4 * shape.damping) {}

StereoBuffer RoomReverb::process(const StereoBuffer& dry) const {
  std::vector<double> mono(dry.frames());
  for (std::size_t i = 0; i < mono.size(); ++i) {
    mono[i] = 0.5 * (dry.left()[i] + dry.right()[i]);
  }
  StereoBuffer wet(dry.frames());
  run_tank(mono, wet.left(), {.spread = 0, .feedback = feedback_, .damping = damping_});
  run_tank(mono, wet.right(),
           {.spread = stereo_spread, .feedback = feedback_, .damping = damping_});
  return wet;
}

}  // namespace wavorin::synth
