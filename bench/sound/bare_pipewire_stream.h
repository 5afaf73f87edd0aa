#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

struct pw_stream;
struct pw_thread_loop;

namespace wavorin::bench {

struct BareStreamListener;

// The floor for a native client: a bare pw_stream kept running at the
// graph's smallest cycle, playing silence until play(), then `samples`
// (16-bit 44.1 kHz stereo) from its next cycle.
class BarePipeWireStream {
 public:
  explicit BarePipeWireStream(std::vector<std::int16_t> samples);
  BarePipeWireStream(const BarePipeWireStream&) = delete;
  BarePipeWireStream& operator=(const BarePipeWireStream&) = delete;
  ~BarePipeWireStream();

  void play() { start_.store(true, std::memory_order_release); }

  struct Callbacks;

 private:
  std::vector<std::int16_t> samples_;
  std::size_t position_ = 0;  // the real-time thread's
  std::atomic<bool> start_{false};
  pw_thread_loop* loop_ = nullptr;
  pw_stream* stream_ = nullptr;
  std::unique_ptr<BareStreamListener> listener_;
};

}  // namespace wavorin::bench
