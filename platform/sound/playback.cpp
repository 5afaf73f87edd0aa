#include "platform/sound/playback.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sound/audio_device.h"

namespace wavorin {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr double kRingSeconds = 0.5;
constexpr int kPrefillBuffers = 4;
constexpr double kFadeSeconds = 0.005;
// A device that has not asked for samples this long is taken as gone.
constexpr auto kStallLimit = milliseconds(1000);
// Slack for scheduling on a busy machine, beyond the sound's own length.
constexpr auto kOverrunMargin = milliseconds(2000);
constexpr auto kPoll = milliseconds(50);

template <typename Sample>
void scale_samples(std::byte* out, std::size_t frames, std::size_t channels, std::size_t position,
                   std::size_t total, Sample midpoint) {
  for (std::size_t f = 0; f < frames; ++f) {
    // Double, so that even a full-scale 32-bit sample converts back in range.
    const double gain =
        static_cast<double>(total - std::min(total, position + f)) / static_cast<double>(total);
    for (std::size_t c = 0; c < channels; ++c) {
      Sample s;
      std::byte* at = out + (f * channels + c) * sizeof(Sample);
      std::memcpy(&s, at, sizeof s);
      const double centred = static_cast<double>(s) - static_cast<double>(midpoint);
      s = static_cast<Sample>(centred * gain + static_cast<double>(midpoint));
      std::memcpy(at, &s, sizeof s);
    }
  }
}

}  // namespace

Playback::Playback(SoundDecoder decoder, const DeviceFormat& format)
    : decoder_(std::move(decoder)),
      format_(format),
      duration_seconds_(decoder_.duration_seconds()),
      ring_(static_cast<std::size_t>(std::max(format.rate * kRingSeconds,
                                              2.0 * kPrefillBuffers * format.buffer_frames)) *
            format.frame_bytes()),
      prefill_bytes_(static_cast<std::size_t>(kPrefillBuffers * format.buffer_frames) *
                     format.frame_bytes()),
      block_(static_cast<std::size_t>(format.buffer_frames) * format.frame_bytes()),
      fade_frames_(std::max<std::size_t>(1, static_cast<std::size_t>(format.rate * kFadeSeconds))) {
}

Playback::~Playback() {
  stop_.store(true);
  space_.post();
  if (feeder_.joinable()) feeder_.join();
}

void Playback::start() {
  feeder_ = std::thread([this] { feed(); });
  ready_.wait_for(milliseconds(2000));
}

void Playback::feed() {
  bool announced = false;
  while (!stop_.load()) {
    const std::size_t n = decoder_.read(block_.data(), block_.size());
    if (n == 0) break;
    std::size_t offset = 0;
    while (offset < n && !stop_.load()) {
      offset += ring_.write(block_.data() + offset, n - offset);
      if (!announced && ring_.readable() >= prefill_bytes_) {
        announced = true;
        ready_.post();
      }
      if (offset < n) {
        feeder_waiting_.store(true);
        // The timeout covers a wake-up lost between the flag and the wait.
        if (ring_.writable() == 0) space_.wait_for(milliseconds(20));
      }
    }
  }
  data_end_.store(true, std::memory_order_release);
  if (!announced) ready_.post();
}

void Playback::fill(std::uint8_t* stream, int length) noexcept {
  auto* out = reinterpret_cast<std::byte*>(stream);
  const auto size = static_cast<std::size_t>(length);
  callbacks_.fetch_add(1, std::memory_order_relaxed);
  std::size_t given = 0;
  if (faded_.load(std::memory_order_relaxed) || delivered_.load(std::memory_order_relaxed)) {
    given = 0;
  } else if (fade_requested_.load(std::memory_order_acquire)) {
    given = fade_into(out, size);
  } else {
    // Read the end flag before the ring: everything decoded was in the ring
    // before the flag went up, so an empty ring afterwards means the end.
    const bool data_end = data_end_.load(std::memory_order_acquire);
    given = ring_.read(out, size);
    if (data_end && ring_.readable() == 0) {
      delivered_.store(true, std::memory_order_release);
      done_.post();
    }
  }
  std::memset(out + given, format_.format == AUDIO_U8 ? 0x80 : 0, size - given);
  if (given > 0 && feeder_waiting_.exchange(false)) space_.post();
}

std::size_t Playback::fade_into(std::byte* out, std::size_t length) noexcept {
  const std::size_t frame_bytes = format_.frame_bytes();
  const std::size_t wanted = std::min(length / frame_bytes, fade_frames_ - fade_position_);
  const std::size_t frames = ring_.read(out, wanted * frame_bytes) / frame_bytes;
  ramp(out, frames);
  fade_position_ += frames;
  if (fade_position_ >= fade_frames_ || frames < wanted) {
    faded_.store(true, std::memory_order_release);
    done_.post();
  }
  return frames * frame_bytes;
}

void Playback::ramp(std::byte* out, std::size_t frames) const noexcept {
  const auto channels = static_cast<std::size_t>(format_.channels);
  switch (format_.format) {
    case AUDIO_S16SYS:
      scale_samples<std::int16_t>(out, frames, channels, fade_position_, fade_frames_, 0);
      break;
    case AUDIO_S32SYS:
      scale_samples<std::int32_t>(out, frames, channels, fade_position_, fade_frames_, 0);
      break;
    case AUDIO_F32SYS:
      scale_samples<float>(out, frames, channels, fade_position_, fade_frames_, 0.0F);
      break;
    case AUDIO_U8:
      scale_samples<std::uint8_t>(out, frames, channels, fade_position_, fade_frames_, 0x80);
      break;
    case AUDIO_S8:
      scale_samples<std::int8_t>(out, frames, channels, fade_position_, fade_frames_, 0);
      break;
    default:
      // A format this program never asks for: silence rather than noise.
      std::memset(out, 0, frames * format_.frame_bytes());
      break;
  }
}

bool Playback::finished() const noexcept {
  return delivered_.load(std::memory_order_acquire) || faded_.load(std::memory_order_acquire);
}

bool Playback::wait(Semaphore& signal, const AudioDevice& device, Clock::time_point deadline) {
  std::uint64_t beats = callbacks_.load(std::memory_order_relaxed);
  Clock::time_point last_beat = Clock::now();
  while (!finished()) {
    if (signal.wait_for(kPoll)) return true;
    const Clock::time_point now = Clock::now();
    if (!device.running() || now > deadline) return false;
    const std::uint64_t seen = callbacks_.load(std::memory_order_relaxed);
    if (seen != beats) {
      beats = seen;
      last_beat = now;
    } else if (now - last_beat > kStallLimit) {
      return false;
    }
  }
  return true;
}

bool Playback::wait_until_delivered(const AudioDevice& device) {
  const auto length =
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(duration_seconds_));
  return wait(done_, device, Clock::now() + length + kOverrunMargin) &&
         delivered_.load(std::memory_order_acquire);
}

void Playback::fade_out(const AudioDevice& device) {
  if (finished()) return;
  fade_requested_.store(true, std::memory_order_release);
  wait(done_, device, Clock::now() + milliseconds(500));
}

}  // namespace wavorin
