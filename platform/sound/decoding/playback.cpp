#include "platform/sound/decoding/playback.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

namespace wavorin {
namespace {

using std::chrono::milliseconds;

// The feeder decodes a quarter of the ring at a time and sleeps until that
// much room is free again: a handful of wake-ups a second.
constexpr std::size_t kBlocksPerRing = 4;
constexpr int kPrefillBuffers = 4;
// Only guards against a lost wake-up; the callback wakes the feeder.
constexpr auto kFeederSafety = milliseconds(1000);

}  // namespace

Playback::Playback(SoundDecoder decoder, const DeviceFormat& format, double ring_seconds)
    : decoder_(std::move(decoder)),
      format_(format),
      duration_seconds_(decoder_->duration_seconds()) {
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
                        static_cast<double>(format.frame_bytes()) / format.rate) {
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

std::size_t Playback::give(std::byte* out, std::size_t size) noexcept {
  size -= size % format_.frame_bytes();
  std::size_t given = 0;
  if (!delivered_.load(std::memory_order_relaxed)) {
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
    }
  }
  if (ring_ && given > 0) {
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (ring_->writable() >= block_.size() && feeder_waiting_.exchange(false)) space_.post();
  }
  return given;
}

}  // namespace wavorin
