#pragma once

#include <cstddef>
#include <vector>

namespace wavorin {

// Folds more than two channels down to stereo. With a known layout each
// speaker goes to its side (centres to both at -3 dB, surrounds at -3 dB, LFE
// dropped) and each side is scaled so that the weights sum to one: a signal
// common to all channels keeps its level and nothing clips. Without a layout,
// even channels go left and odd ones right, each side an equal-power average.
class ChannelMixer {
 public:
  // `layout` holds one SF_CHANNEL_MAP_* per channel, or is empty.
  ChannelMixer(int channels, const std::vector<int>& layout);

  // `in` holds `frames` interleaved frames of all channels; `out` receives
  // `frames` interleaved stereo frames.
  void mix(const float* in, float* out, std::size_t frames) const;

 private:
  bool place_by_layout(const std::vector<int>& layout);
  void place_alternately();

  std::size_t channels_;
  std::vector<float> left_;
  std::vector<float> right_;
};

}  // namespace wavorin
