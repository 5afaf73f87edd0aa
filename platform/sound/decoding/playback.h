#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/sound/decoding/device_format.h"
#include "platform/sound/decoding/sample_ring.h"
#include "platform/sound/decoding/semaphore.h"
#include "platform/sound/decoding/sound_decoder.h"

namespace wavorin {

// Device-format samples of a whole sound, decoded once and shared.
using DecodedSound = std::shared_ptr<const std::vector<std::byte>>;

// One sound on its way to its output: either streamed, with a feeder thread
// decoding into the ring, or played from samples decoded beforehand. The
// output's thread takes the samples with give(), which only copies. Made,
// started and destroyed by the request layer.
class Playback {
 public:
  // `ring_seconds`: how far the feeder decodes ahead of the output.
  Playback(SoundDecoder decoder, const DeviceFormat& format, double ring_seconds);
  Playback(DecodedSound samples, const DeviceFormat& format);
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;
  // Stops the feeder; give() must no longer be called.
  ~Playback();

  // Starts the feeder and returns once the first buffers are decoded (or
  // after a bounded wait), so the sound starts without a gap.
  void start();

  // Called on the output's thread: copies what is ready (at most `size`
  // bytes, whole frames) and returns how much. Less than asked while the
  // feeder is behind; 0 once finished(). Never blocks, allocates or reads.
  std::size_t give(std::byte* out, std::size_t size) noexcept;
  // Called on the feeder thread after it put samples in the ring, or reached
  // the end, while give() found the ring empty: the consumer may take more.
  // Set before start().
  void on_starved_data(std::function<void()> notify) { starved_notify_ = std::move(notify); }

  // The file ended before its announced length (cut, or a read error). Valid
  // once finished().
  bool cut_short() const noexcept { return cut_short_.load(std::memory_order_acquire); }
  // True once the last sample was given.
  bool finished() const noexcept { return delivered_.load(std::memory_order_acquire); }
  // The sound's length as announced, seconds.
  double duration_seconds() const { return duration_seconds_; }

 private:
  void feed();
  void notify_if_starved();
  // The feeder's part: waits until the ring has room for `bytes`.
  bool wait_for_room(std::size_t bytes);
  std::size_t take(std::byte* out, std::size_t size) noexcept;
  std::size_t remaining() const noexcept;

  std::optional<SoundDecoder> decoder_;
  DecodedSound samples_;
  DeviceFormat format_;
  double duration_seconds_;
  std::unique_ptr<SampleRing> ring_;
  std::size_t prefill_bytes_ = 0;
  std::vector<std::byte> block_;

  std::thread feeder_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> data_end_{false};
  std::atomic<bool> feeder_waiting_{false};
  Semaphore space_;  // give() made room for a block in the ring
  Semaphore ready_;  // the feeder has buffered enough to start

  std::atomic<bool> cut_short_{false};
  std::atomic<bool> starved_{false};  // give() found nothing before the end
  std::function<void()> starved_notify_;
  std::atomic<bool> delivered_{false};
  std::size_t position_ = 0;  // into samples_; the output thread's
};

}  // namespace wavorin
