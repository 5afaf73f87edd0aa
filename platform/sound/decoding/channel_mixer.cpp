#include "platform/sound/decoding/channel_mixer.h"

#include <sndfile.h>

#include <cmath>
#include <numeric>

namespace wavorin {
namespace {

constexpr float kMinus3dB = 0.70710678F;

struct Placement {
  float left;
  float right;
  bool known;
};

Placement place(int position) {
  switch (position) {
    case SF_CHANNEL_MAP_MONO:
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
    case SF_CHANNEL_MAP_REAR_CENTER:
    case SF_CHANNEL_MAP_TOP_CENTER:
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
    case SF_CHANNEL_MAP_TOP_REAR_CENTER:
      return {kMinus3dB, kMinus3dB, true};
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
      return {1.0F, 0.0F, true};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
      return {0.0F, 1.0F, true};
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
      return {kMinus3dB, 0.0F, true};
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
      return {0.0F, kMinus3dB, true};
    case SF_CHANNEL_MAP_LFE:
      return {0.0F, 0.0F, true};
    default:
      return {0.0F, 0.0F, false};
  }
}

void scale_to_unit_sum(std::vector<float>& weights, float sum) {
  for (float& w : weights) w /= sum;
}

}  // namespace

ChannelMixer::ChannelMixer(int channels, const std::vector<int>& layout)
    : channels_(static_cast<std::size_t>(channels)), left_(channels_), right_(channels_) {
  if (layout.size() != channels_ || !place_by_layout(layout)) place_alternately();
}

bool ChannelMixer::place_by_layout(const std::vector<int>& layout) {
  for (std::size_t c = 0; c < channels_; ++c) {
    const Placement p = place(layout[c]);
    if (!p.known) return false;
    left_[c] = p.left;
    right_[c] = p.right;
  }
  const float left_sum = std::accumulate(left_.begin(), left_.end(), 0.0F);
  const float right_sum = std::accumulate(right_.begin(), right_.end(), 0.0F);
  if (left_sum <= 0.0F && right_sum <= 0.0F) return false;
  // A layout with speakers on one side only plays that side on both.
  if (left_sum <= 0.0F) left_ = right_;
  if (right_sum <= 0.0F) right_ = left_;
  scale_to_unit_sum(left_, left_sum > 0.0F ? left_sum : right_sum);
  scale_to_unit_sum(right_, right_sum > 0.0F ? right_sum : left_sum);
  return true;
}

void ChannelMixer::place_alternately() {
  const std::size_t even = (channels_ + 1) / 2;
  const std::size_t odd = channels_ / 2;
  const float even_gain = 1.0F / std::sqrt(static_cast<float>(even));
  const float odd_gain = odd > 0 ? 1.0F / std::sqrt(static_cast<float>(odd)) : 0.0F;
  for (std::size_t c = 0; c < channels_; ++c) {
    left_[c] = (c % 2 == 0) ? even_gain : 0.0F;
    right_[c] = (c % 2 == 1) ? odd_gain : 0.0F;
  }
}

void ChannelMixer::mix(const float* in, float* out, std::size_t frames) const {
  for (std::size_t f = 0; f < frames; ++f) {
    const float* frame = in + f * channels_;
    float left = 0.0F;
    float right = 0.0F;
    for (std::size_t c = 0; c < channels_; ++c) {
      left += frame[c] * left_[c];
      right += frame[c] * right_[c];
    }
    out[2 * f] = left;
    out[2 * f + 1] = right;
  }
}

}  // namespace wavorin
