#include "platform/sound/rules/sound_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sound/rules/rule_numbers.h"

namespace wavorin {
namespace {

using rules::kFormat;

// More than the largest buffer and device latency a server keeps: a flush
// can take back that much, and the fade starts there.
constexpr std::size_t kHistoryFrames = std::size_t{5} * kFormat.rate;
constexpr auto kFadeFrames =
    static_cast<std::size_t>(kFormat.rate * rules::kFade.count() / 1000000);
const std::size_t kFrameBytes = kFormat.frame_bytes();
const auto kChannels = static_cast<std::size_t>(kFormat.channels);

// A straight ramp from full level to silence over `frames` frames.
void ramp_down(std::int16_t* samples, std::size_t frames) {
  for (std::size_t f = 0; f < frames; ++f) {
    const double gain = static_cast<double>(frames - f) / static_cast<double>(frames + 1);
    for (std::size_t c = 0; c < kChannels; ++c) {
      std::int16_t& s = samples[f * kChannels + c];
      s = static_cast<std::int16_t>(static_cast<double>(s) * gain);
    }
  }
}

}  // namespace

SoundStream::SoundStream() : history_(kHistoryFrames * kFrameBytes) {}

std::size_t SoundStream::pull(std::int16_t* out, std::size_t frames) noexcept {
  const std::unique_lock lock(mutex_, std::try_to_lock);
  if (!lock.owns_lock()) return 0;
  std::size_t given = 0;
  if (fade_at_ < fade_.size()) {
    const std::size_t samples = std::min(frames * kChannels, fade_.size() - fade_at_);
    std::memcpy(out, fade_.data() + fade_at_, samples * sizeof(std::int16_t));
    fade_at_ += samples;
    given = samples / kChannels;
  }
  if (sound_ && given < frames && end_.load(std::memory_order_relaxed) == kNoEnd) {
    const std::size_t bytes = sound_->give(reinterpret_cast<std::byte*>(out + given * kChannels),
                                           (frames - given) * kFrameBytes);
    if (bytes > 0) taken_.store(true, std::memory_order_release);
    given += bytes / kFrameBytes;
    if (sound_->finished()) end_.store(pulled() + given, std::memory_order_release);
  }
  history_.remember(out, given * kFrameBytes);
  pulled_.store(pulled() + given, std::memory_order_release);
  return given;
}

void SoundStream::play(std::shared_ptr<Playback> sound) {
  const std::lock_guard lock(mutex_);
  sound_ = std::move(sound);
  end_.store(kNoEnd, std::memory_order_release);
  taken_.store(false, std::memory_order_release);
}

std::uint64_t SoundStream::cut(std::uint64_t position) {
  const std::lock_guard lock(mutex_);
  const std::shared_ptr<Playback> sound = std::move(sound_);
  const bool ended = end_.load(std::memory_order_relaxed) != kNoEnd;
  sound_.reset();
  end_.store(kNoEnd, std::memory_order_release);
  taken_.store(false, std::memory_order_release);
  const std::uint64_t pulled_before = pulled();
  const std::uint64_t back = pulled_before - std::min(position, pulled_before);
  const std::size_t taken_back = std::min<std::uint64_t>(back, kFadeFrames);
  std::vector<std::int16_t> fade(kFadeFrames * kChannels);
  std::size_t frames = taken_back;
  if (frames != 0 && !history_.copy_back(back * kFrameBytes, fade.data(), frames * kFrameBytes)) {
    frames = 0;
  }
  // An output that took back less than the fade (one that plays each cycle
  // as it pulls it) leaves the fade's rest to the sound itself: the samples
  // that follow the last one pulled, so the fade goes on from what is heard.
  if (frames == back && frames < kFadeFrames && sound && !ended) {
    frames += sound->give(reinterpret_cast<std::byte*>(fade.data() + frames * kChannels),
                          (kFadeFrames - frames) * kFrameBytes) /
              kFrameBytes;
  }
  fade.resize(frames * kChannels);
  ramp_down(fade.data(), frames);
  history_.forget(back * kFrameBytes);
  pulled_.store(pulled_before - back, std::memory_order_release);
  fade_ = std::move(fade);
  fade_at_ = 0;
  return pulled_before - back + fade_.size() / kChannels;
}

std::optional<std::uint64_t> SoundStream::end() const {
  const std::uint64_t end = end_.load(std::memory_order_acquire);
  if (end == kNoEnd) return std::nullopt;
  return end;
}

bool SoundStream::taken() const { return taken_.load(std::memory_order_acquire); }

std::uint64_t SoundStream::pulled() const { return pulled_.load(std::memory_order_acquire); }

void SoundStream::restart() {
  const std::lock_guard lock(mutex_);
  pulled_.store(0, std::memory_order_release);
  fade_.clear();
  fade_at_ = 0;
  history_.forget(kHistoryFrames * kFrameBytes);
}

}  // namespace wavorin
