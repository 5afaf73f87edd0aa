#include "bench/sound/bench_source.h"

namespace wavorin::bench {

std::size_t BenchSource::pull(std::int16_t* out, std::size_t frames) noexcept {
  if (!playing_.load(std::memory_order_acquire)) return 0;
  if (fade_requested_.exchange(false, std::memory_order_acq_rel)) fade_left_ = kFade;
  const std::size_t total = samples_.size() / 2;
  std::size_t given = 0;
  for (; given < frames; ++given) {
    if (position_ >= total) {
      if (!loop_) break;
      position_ = 0;
    }
    double gain = 1.0;
    if (fade_left_ == 0) break;
    if (fade_left_ > 0) gain = static_cast<double>(fade_left_--) / kFade;
    out[2 * given] = static_cast<std::int16_t>(samples_[2 * position_] * gain);
    out[2 * given + 1] = static_cast<std::int16_t>(samples_[2 * position_ + 1] * gain);
    ++position_;
  }
  if (given < frames) playing_.store(false, std::memory_order_release);
  return given;
}

}  // namespace wavorin::bench
