#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct pw_stream;
struct pw_thread_loop;

namespace wavorin::test {

struct TapListener;

// Listens to a PipeWire sink's monitor with a native capture node that asks
// the graph for its largest cycle, so it never makes the graph's cycle
// smaller than the players ask: what it sees of each cycle is the graph's
// own quantum.
class GraphTap {
 public:
  // On the sink named `sink` of the daemon libpipewire finds; nothing when
  // it does not answer.
  static std::unique_ptr<GraphTap> open(const std::string& sink);
  GraphTap(const GraphTap&) = delete;
  GraphTap& operator=(const GraphTap&) = delete;
  ~GraphTap();

  // Frames of the last cycle the tap was given (0 before the first), and
  // how many cycles it was given in all.
  std::uint32_t quantum() const { return quantum_.load(std::memory_order_acquire); }
  std::uint64_t cycles() const { return cycles_.load(std::memory_order_acquire); }

  struct Callbacks;

 private:
  GraphTap() = default;

  pw_thread_loop* loop_ = nullptr;
  pw_stream* stream_ = nullptr;
  std::unique_ptr<TapListener> listener_;
  std::atomic<std::uint32_t> quantum_{0};
  std::atomic<std::uint64_t> cycles_{0};
};

}  // namespace wavorin::test
