#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace wavorin::bench {

// Stands at the far end of a FIFO that SDL's disk driver writes the device's
// samples to (16-bit): notes when the first non-silent sample arrives after
// arm(). Reopens the FIFO whenever the device is closed and opened again.
class FifoListener {
 public:
  explicit FifoListener(std::string path);
  FifoListener(const FifoListener&) = delete;
  FifoListener& operator=(const FifoListener&) = delete;
  ~FifoListener();

  void arm();
  // Seconds from arm() to the first sound, or a negative value if none came
  // within `timeout`.
  double seconds_to_sound(std::chrono::milliseconds timeout) const;
  // Seconds from arm() to the last non-silent sample heard so far, or a
  // negative value if none came since.
  double seconds_to_last_sound() const;
  // Samples (per channel) of sound that came after arm(), counted in the
  // stream itself up to its last non-silent sample: an upper bound on how
  // long the sound went on, free of when the blocks happened to be read.
  // Includes what was already on its way when arm() was called.
  long long samples_of_sound_since_arm(int channels) const;
  // Whether any samples, silent or not, arrived within `timeout`.
  bool wait_for_data(std::chrono::milliseconds timeout) const;

 private:
  using Clock = std::chrono::steady_clock;
  void listen();

  std::string path_;
  std::atomic<bool> quitting_{false};
  std::atomic<bool> armed_{false};
  std::atomic<Clock::rep> armed_at_{0};
  std::atomic<Clock::rep> heard_at_{0};
  std::atomic<Clock::rep> last_heard_at_{0};
  std::atomic<long long> bytes_read_{0};
  std::atomic<long long> samples_at_arm_{0};
  std::atomic<long long> last_sound_sample_{-1};  // index in the whole stream
  std::thread thread_;
};

}  // namespace wavorin::bench
