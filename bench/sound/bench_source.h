#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/sound/sound_output.h"

namespace wavorin::bench {

// Plays `samples` once from start(), or in a loop; stop() fades 5 ms from
// the next sample, as the request layer does after a flush.
class BenchSource : public wavorin::SampleSource {
 public:
  explicit BenchSource(std::vector<std::int16_t> samples, bool loop = false)
      : samples_(std::move(samples)), loop_(loop) {}
  void start() {
    position_ = 0;
    fade_left_ = -1;
    playing_.store(true, std::memory_order_release);
  }
  void stop() { fade_requested_.store(true, std::memory_order_release); }
  std::size_t pull(std::int16_t* out, std::size_t frames) noexcept override;

 private:
  static constexpr int kFade = 220;  // 5 ms
  std::vector<std::int16_t> samples_;
  bool loop_;
  std::atomic<bool> playing_{false};
  std::atomic<bool> fade_requested_{false};
  std::size_t position_ = 0;
  int fade_left_ = -1;
};

}  // namespace wavorin::bench
