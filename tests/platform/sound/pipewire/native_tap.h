#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct pw_stream;
struct pw_thread_loop;

namespace wavorin::test {

struct NativeTapListener;

// Hears a PipeWire sink at its monitor with a native capture node that is
// passive (it never wakes the sink nor keeps it awake) and asks the graph
// for its largest cycle (so it never shortens the cycle the players ask
// for): what the players get from the graph is what they would get without
// it, and what it is given each cycle is the graph's own quantum. Each
// sample is timed by the graph's clock at the start of the cycle that mixed
// it (CLOCK_MONOTONIC), plus its place in the cycle. The tests and the
// bench listen with it.
class NativeTap {
 public:
  // On the sink `sink`; nothing when PipeWire does not answer.
  static std::unique_ptr<NativeTap> open(const std::string& sink);
  NativeTap(const NativeTap&) = delete;
  NativeTap& operator=(const NativeTap&) = delete;
  ~NativeTap();

  // Forgets what was heard; the next figures count from here.
  void arm();
  // Monotonic ns of the first and the last sample louder than silence since
  // arm(); 0 when none yet.
  std::int64_t first_ns() const { return first_ns_.load(std::memory_order_acquire); }
  std::int64_t last_ns() const { return last_ns_.load(std::memory_order_acquire); }
  // The frames of the graph's last cycle (0 before the first), and how many
  // cycles the tap was given in all.
  std::uint32_t quantum() const { return quantum_.load(std::memory_order_acquire); }
  // The frames of the cycle that held the first sample since arm().
  std::uint32_t first_quantum() const { return first_quantum_.load(std::memory_order_acquire); }
  std::uint64_t cycles() const { return cycles_.load(std::memory_order_acquire); }

  struct Callbacks;

 private:
  NativeTap() = default;

  pw_thread_loop* loop_ = nullptr;
  pw_stream* stream_ = nullptr;
  std::unique_ptr<NativeTapListener> listener_;
  std::atomic<std::int64_t> first_ns_{0};
  std::atomic<std::int64_t> last_ns_{0};
  std::atomic<std::uint32_t> quantum_{0};
  std::atomic<std::uint32_t> first_quantum_{0};
  std::atomic<std::uint64_t> cycles_{0};
};

}  // namespace wavorin::test
