#include "platform/sound/playback.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sound/audio_device.h"

namespace wavorin {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The feeder decodes a quarter of the ring at a time and sleeps until that
// much room is free again: a handful of wake-ups a second.
constexpr std::size_t kBlocksPerRing = 4;
constexpr int kPrefillBuffers = 4;
constexpr double kFadeSeconds = 0.005;
// A device that has not asked for samples this long is taken as gone.
constexpr auto kStallLimit = milliseconds(1000);
// Slack for scheduling on a busy machine, beyond the sound's own length.
constexpr auto kOverrunMargin = milliseconds(2000);
constexpr auto kPoll = milliseconds(50);
// Callbacks before the device counts as taking samples: the first two
// buffers' writes have returned. A device may keep one write in a buffer of
// its own and fail only on the next (stdio does so for SDL's disk driver).
constexpr std::uint64_t kTakenAfter = 2;
// Only guards against a lost wake-up; the callback wakes the feeder.
constexpr auto kFeederSafety = milliseconds(1000);

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

Clock::time_point end_after(double seconds, const DeviceFormat& format) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(seconds + format.buffer_seconds()));
}

}  // namespace

Playback::Playback(SoundDecoder decoder, const DeviceFormat& format, double ring_seconds)
    : decoder_(std::move(decoder)),
      format_(format),
      duration_seconds_(decoder_->duration_seconds()),
      expected_end_(end_after(duration_seconds_, format)),
      fade_frames_(std::max<std::size_t>(1, static_cast<std::size_t>(format.rate * kFadeSeconds))) {
  const std::size_t frame_bytes = format.frame_bytes();
  const auto ring_frames = static_cast<std::size_t>(
      std::max(format.rate * ring_seconds, 2.0 * kPrefillBuffers * format.buffer_frames));
  ring_ = std::make_unique<SampleRing>(ring_frames * frame_bytes);
  prefill_bytes_ = static_cast<std::size_t>(kPrefillBuffers * format.buffer_frames) * frame_bytes;
  block_.resize(ring_frames / kBlocksPerRing * frame_bytes);
}

Playback::Playback(DecodedSound samples, const DeviceFormat& format)
    : samples_(std::move(samples)),
      format_(format),
      duration_seconds_(static_cast<double>(samples_->size()) /
                        static_cast<double>(format.frame_bytes()) / format.rate),
      expected_end_(end_after(duration_seconds_, format)),
      fade_frames_(std::max<std::size_t>(1, static_cast<std::size_t>(format.rate * kFadeSeconds))) {
  data_end_.store(true, std::memory_order_release);
}

Playback::~Playback() {
  stop_.store(true);
  space_.post();
  if (feeder_.joinable()) feeder_.join();
}

void Playback::start() {
  if (!decoder_) return;
  feeder_ = std::thread([this] { feed(); });
  ready_.wait_for(milliseconds(2000));
}

void Playback::feed() {
  bool announced = false;
  while (!stop_.load()) {
    // Whole blocks: the direct route hands out a few KiB per read.
    std::size_t n = 0;
    while (n < block_.size()) {
      const std::size_t got = decoder_->read(block_.data() + n, block_.size() - n);
      if (got == 0) break;
      n += got;
    }
    if (n == 0) break;
    if (!wait_for_room(n)) break;
    ring_->write(block_.data(), n);
    if (!announced && ring_->readable() >= std::min(prefill_bytes_, n)) {
      announced = true;
      ready_.post();
    }
    notify_if_starved();
  }
  cut_short_.store(decoder_->cut_short(), std::memory_order_relaxed);
  data_end_.store(true, std::memory_order_release);
  if (!announced) ready_.post();
  notify_if_starved();
}

void Playback::notify_if_starved() {
  if (starved_notify_ && starved_.exchange(false)) starved_notify_();
}

bool Playback::wait_for_room(std::size_t bytes) {
  while (!stop_.load()) {
    if (ring_->writable() >= bytes) return true;
    feeder_waiting_.store(true);
    // Pairs with the fence in fill(): either the callback sees the flag, or
    // this thread sees the room the callback made.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (ring_->writable() >= bytes) {
      feeder_waiting_.store(false);
      return true;
    }
    space_.wait_for(kFeederSafety);
  }
  return false;
}

std::size_t Playback::take(std::byte* out, std::size_t size) noexcept {
  if (!samples_) return ring_->read(out, size);
  const std::size_t n = std::min(size, samples_->size() - position_);
  std::memcpy(out, samples_->data() + position_, n);
  position_ += n;
  return n;
}

std::size_t Playback::remaining() const noexcept {
  return samples_ ? samples_->size() - position_ : ring_->readable();
}

void Playback::fill(std::uint8_t* stream, int length) noexcept {
  auto* out = reinterpret_cast<std::byte*>(stream);
  const auto size = static_cast<std::size_t>(length);
  if (callbacks_.fetch_add(1, std::memory_order_relaxed) == kTakenAfter) taken_.post();
  const std::size_t given = give(out, size);
  std::memset(out + given, format_.silence, size - given);
}

std::size_t Playback::give(std::byte* out, std::size_t size) noexcept {
  size -= size % format_.frame_bytes();
  std::size_t given = 0;
  if (faded_.load(std::memory_order_relaxed) || delivered_.load(std::memory_order_relaxed)) {
    given = 0;
  } else if (fade_requested_.load(std::memory_order_acquire)) {
    given = fade_into(out, size);
  } else {
    // Raised before looking: a feeder that adds samples afterwards sees it
    // and tells the consumer, which otherwise might wait for ever.
    starved_.store(true);
    // Read the end flag before the ring: everything decoded was in the ring
    // before the flag went up, so an empty ring afterwards means the end.
    const bool data_end = data_end_.load(std::memory_order_acquire);
    given = take(out, size);
    if (given > 0 || data_end) starved_.store(false);
    if (data_end && remaining() == 0) {
      delivered_.store(true, std::memory_order_release);
      done_.post();
    }
  }
  if (ring_ && given > 0) {
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (ring_->writable() >= block_.size() && feeder_waiting_.exchange(false)) space_.post();
  }
  return given;
}

std::size_t Playback::fade_into(std::byte* out, std::size_t length) noexcept {
  const std::size_t frame_bytes = format_.frame_bytes();
  const std::size_t wanted = std::min(length / frame_bytes, fade_frames_ - fade_position_);
  const std::size_t frames = take(out, wanted * frame_bytes) / frame_bytes;
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
      std::memset(out, format_.silence, frames * format_.frame_bytes());
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
         delivered_.load(std::memory_order_acquire) && device.running();
}

bool Playback::wait_until_taken(const AudioDevice& device) {
  if (callbacks_.load(std::memory_order_relaxed) <= kTakenAfter && !finished()) {
    wait(taken_, device, Clock::now() + milliseconds(500));
  }
  return device.running();
}

void Playback::fade_out(const AudioDevice& device) {
  if (finished()) return;
  request_fade();
  wait(done_, device, Clock::now() + milliseconds(500));
}

}  // namespace wavorin
