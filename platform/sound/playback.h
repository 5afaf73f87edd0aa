#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/sound/device_format.h"
#include "platform/sound/sample_ring.h"
#include "platform/sound/semaphore.h"
#include "platform/sound/sound_decoder.h"

namespace wavorin {

class AudioDevice;

// Device-format samples of a whole sound, decoded once and shared.
using DecodedSound = std::shared_ptr<const std::vector<std::byte>>;

// One sound on its way to the device: either streamed, with a feeder thread
// decoding into the ring, or played from samples decoded beforehand. The
// audio callback copies and pads with silence. Created, waited on and
// destroyed by the thread that makes the requests.
class Playback {
 public:
  // `ring_seconds`: how far the feeder decodes ahead of the device.
  Playback(SoundDecoder decoder, const DeviceFormat& format, double ring_seconds = 0.5);
  Playback(DecodedSound samples, const DeviceFormat& format);
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;
  // Stops the feeder; the device must no longer call fill().
  ~Playback();

  // Starts the feeder and returns once the first buffers are decoded (or
  // after a bounded wait), so the sound starts without a gap.
  void start();

  // Called on the audio thread: must not block, allocate or touch files.
  void fill(std::uint8_t* stream, int length) noexcept;
  // The same without padding: copies what is ready (at most `size` bytes,
  // whole frames) and returns how much. Less than asked while the feeder is
  // behind; 0 once finished().
  std::size_t give(std::byte* out, std::size_t size) noexcept;
  // Called on the feeder thread after it put samples in the ring, or reached
  // the end, while give() found the ring empty: the consumer may take more.
  // Set before start().
  void on_starved_data(std::function<void()> notify) { starved_notify_ = std::move(notify); }

  // The file ended before its announced length (cut, or a read error). Valid
  // once finished() after the whole sound was delivered.
  bool cut_short() const noexcept { return cut_short_.load(std::memory_order_acquire); }

  // True once the last sample went to the device, or the fade-out is done.
  bool finished() const noexcept;

  // Waits until the last sample went to the device. Gives up (false) when
  // the device stops, stops calling back, or the sound overruns its length.
  bool wait_until_delivered(const AudioDevice& device);

  // Waits (one or two device buffers) until the device has taken the first
  // buffers and asked for more; false when the device failed.
  bool wait_until_taken(const AudioDevice& device);

  // Ends the sound with a short ramp to silence instead of a click; bounded.
  void fade_out(const AudioDevice& device);
  // Asks the callback for that ramp without waiting for it.
  void request_fade() noexcept { fade_requested_.store(true, std::memory_order_release); }

  // The sound's length as announced, seconds.
  double duration_seconds() const { return duration_seconds_; }

  // When the last sample is due at the device if it keeps time.
  std::chrono::steady_clock::time_point expected_end() const { return expected_end_; }

 private:
  void feed();
  void notify_if_starved();
  // The feeder's part: waits until the ring has room for `bytes`.
  bool wait_for_room(std::size_t bytes);
  std::size_t take(std::byte* out, std::size_t size) noexcept;
  std::size_t remaining() const noexcept;
  std::size_t fade_into(std::byte* out, std::size_t length) noexcept;
  void ramp(std::byte* out, std::size_t frames) const noexcept;
  // Waits for `signal`, checking that the device still runs.
  bool wait(Semaphore& signal, const AudioDevice& device,
            std::chrono::steady_clock::time_point deadline);

  std::optional<SoundDecoder> decoder_;
  DecodedSound samples_;
  DeviceFormat format_;
  double duration_seconds_;
  std::chrono::steady_clock::time_point expected_end_;
  std::unique_ptr<SampleRing> ring_;
  std::size_t prefill_bytes_ = 0;
  std::vector<std::byte> block_;

  std::thread feeder_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> data_end_{false};
  std::atomic<bool> feeder_waiting_{false};
  Semaphore space_;  // the callback made room for a block in the ring
  Semaphore ready_;  // the feeder has buffered enough to start

  std::atomic<bool> cut_short_{false};
  std::atomic<bool> starved_{false};  // give() found nothing before the end
  std::function<void()> starved_notify_;

  std::atomic<bool> fade_requested_{false};
  std::atomic<bool> faded_{false};
  std::atomic<bool> delivered_{false};
  std::atomic<std::uint64_t> callbacks_{0};
  Semaphore done_;   // delivered or faded
  Semaphore taken_;  // the device asked for a third buffer
  // Owned by the audio thread.
  std::size_t position_ = 0;  // into samples_
  std::size_t fade_frames_;
  std::size_t fade_position_ = 0;
};

}  // namespace wavorin
