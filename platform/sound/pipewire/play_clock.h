#pragma once

#include <atomic>
#include <cstdint>

namespace wavorin::pipewire {

// How many of the frames a stream pulled its device has played, judged from
// the graph's own report of each cycle (pw_stream_get_time_n). One writer,
// the stream's real-time thread; readers on any thread, without a lock.
class PlayClock {
 public:
  explicit PlayClock(int rate) : rate_(rate) {}

  // From nothing, for a new stream at `rate`; while no cycle runs.
  void restart(int rate) noexcept;

  // Writer, at a cycle's start: the device plays `behind` frames (its delay
  // and the converter's) before the cycle's first frame, at `now_ns`
  // (monotonic). Then the cycle gives `frames`, of which the source filled
  // the first `pulled`, the rest silence.
  void cycle(std::int64_t behind, std::int64_t now_ns, std::uint64_t frames,
             std::uint64_t pulled) noexcept;

  int rate() const noexcept { return rate_.load(std::memory_order_relaxed); }
  // Frames pulled so far; silence not counted.
  std::uint64_t pulled() const noexcept { return pulled_.load(std::memory_order_acquire); }
  // Of those, the ones played by `now_ns`: the device keeps the graph's
  // pace after the last cycle's start, up to what that cycle gave, and so
  // waits there while no cycle runs (a stopped daemon, a suspended sink).
  // Never decreasing.
  std::uint64_t played(std::int64_t now_ns) const noexcept;

 private:
  std::atomic<int> rate_;
  std::uint64_t output_ = 0;  // writer's: frames given, silence included
  std::atomic<std::uint64_t> pulled_{0};
  // After the last cycle, on output_'s scale: just after the last frame
  // pulled, and the end of what was given.
  std::atomic<std::uint64_t> sound_end_{0};
  std::atomic<std::uint64_t> given_end_{0};
  // The device's place on output_'s scale at the last cycle's start; an odd
  // sequence means a cycle is writing it.
  std::atomic<std::uint32_t> sequence_{0};
  std::atomic<std::int64_t> device_at_{0};
  std::atomic<std::int64_t> cycle_ns_{0};
  mutable std::atomic<std::uint64_t> played_{0};
};

}  // namespace wavorin::pipewire
