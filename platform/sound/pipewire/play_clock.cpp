#include "platform/sound/pipewire/play_clock.h"

#include <algorithm>

namespace wavorin::pipewire {

void PlayClock::restart(int rate) noexcept {
  rate_.store(rate, std::memory_order_relaxed);
  output_ = 0;
  sequence_.fetch_add(1, std::memory_order_acq_rel);
  device_at_.store(0, std::memory_order_relaxed);
  cycle_ns_.store(0, std::memory_order_relaxed);
  sequence_.fetch_add(1, std::memory_order_release);
  sound_end_.store(0, std::memory_order_relaxed);
  given_end_.store(0, std::memory_order_relaxed);
  pulled_.store(0, std::memory_order_release);
  played_.store(0, std::memory_order_release);
}

void PlayClock::cycle(std::int64_t behind, std::int64_t now_ns, std::uint64_t frames,
                      std::uint64_t pulled) noexcept {
  sequence_.fetch_add(1, std::memory_order_acq_rel);
  device_at_.store(static_cast<std::int64_t>(output_) - behind, std::memory_order_relaxed);
  cycle_ns_.store(now_ns, std::memory_order_relaxed);
  sequence_.fetch_add(1, std::memory_order_release);
  output_ += frames;
  if (pulled != 0) {
    sound_end_.store(output_ - (frames - pulled), std::memory_order_relaxed);
    pulled_.fetch_add(pulled, std::memory_order_release);
  }
  given_end_.store(output_, std::memory_order_release);
}

std::uint64_t PlayClock::played(std::int64_t now_ns) const noexcept {
  std::int64_t device_at = 0;
  std::int64_t cycle_ns = 0;
  for (;;) {
    const std::uint32_t before = sequence_.load(std::memory_order_acquire);
    device_at = device_at_.load(std::memory_order_relaxed);
    cycle_ns = cycle_ns_.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (before % 2 == 0 && sequence_.load(std::memory_order_relaxed) == before) break;
  }
  const std::uint64_t pulled = pulled_.load(std::memory_order_acquire);
  const auto given_end = static_cast<std::int64_t>(given_end_.load(std::memory_order_acquire));
  const auto sound_end = static_cast<std::int64_t>(sound_end_.load(std::memory_order_relaxed));
  const std::int64_t elapsed = cycle_ns == 0 ? 0 : std::max<std::int64_t>(0, now_ns - cycle_ns);
  const std::int64_t device = std::min(
      given_end, device_at + elapsed * rate_.load(std::memory_order_relaxed) / 1'000'000'000);
  const std::int64_t unheard =
      std::clamp<std::int64_t>(sound_end - device, 0, static_cast<std::int64_t>(pulled));
  const std::uint64_t played = pulled - static_cast<std::uint64_t>(unheard);
  // The graph's reported delay wobbles between cycles; what was heard stays heard.
  std::uint64_t before = played_.load(std::memory_order_relaxed);
  while (before < played &&
         !played_.compare_exchange_weak(before, played, std::memory_order_relaxed)) {
  }
  return std::max(before, played);
}

}  // namespace wavorin::pipewire
