#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/sound/pipewire/pipewire_stream.h"
#include "platform/sound/pipewire/play_clock.h"
#include "platform/sound/sound_output.h"

namespace wavorin::pipewire {

class Connection;

// The output as a native PipeWire client: one playback node (pw_stream)
// whose real-time cycle pulls the source directly, so nothing the program
// gave waits in a queue beyond the cycle that plays it. A flush leaves only
// that cycle to be heard, and the next pull follows the last sample heard.
//
// Latency: a short sound asks the graph for a short cycle, so it starts at
// the next one, and a longer one once its first tenth of a second was
// pulled; a tune asks a large one, so the graph, the device and this
// program wake rarely (the graph runs at the smallest cycle any running
// node asks, so no other client is slowed or hurried for long).
class PipeWireOutput final : public SoundOutput {
 public:
  // Connects (waiting at most a second for PipeWire's first answer);
  // nothing, with the reason, when PipeWire does not answer or plays to no
  // device (the desktop's sound server is then another one).
  static std::unique_ptr<SoundOutput> make(OutputListener& listener, std::string& refused);

  PipeWireOutput(const PipeWireOutput&) = delete;
  PipeWireOutput& operator=(const PipeWireOutput&) = delete;
  ~PipeWireOutput() override;

  bool open(const OutputFormat& format, SampleSource& source,
            const std::string& media_name) override;
  bool is_open() const override { return open_.load(std::memory_order_acquire); }
  void set_corked(bool corked) override;
  void wake() override;
  std::uint64_t flush() override;
  void drain() override;
  void close() override;
  std::uint64_t played() const override;
  void set_latency(Latency latency) override;
  void set_media_name(const std::string& media_name) override;
  std::string why() const override;
  const char* name() const override { return "pipewire"; }

  // The graph's node of the open stream (0 when none); for tests.
  std::uint32_t node_id() const;

 private:
  explicit PipeWireOutput(OutputListener& listener);
  // On the loop's thread, lock held.
  void on_connection(bool answers, const std::string& reason);
  void on_stream(StreamEvent event, const std::string& reason);
  void lose(const std::string& reason);
  void set_why(const std::string& why);

  OutputListener& listener_;
  std::unique_ptr<Connection> connection_;
  // Guarded by the connection's lock.
  std::unique_ptr<Stream> stream_;
  bool lost_told_ = false;  // Lost was told since the daemon last answered

  std::atomic<bool> open_{false};
  std::atomic<Pulling> pulling_{Pulling::Yes};  // held after drain(), until wake()
  // The open stream's count; started again by open(), when no stream pulls.
  PlayClock clock_{44100};
  mutable std::mutex why_mutex_;  // guards why_ alone
  std::string why_;
};

}  // namespace wavorin::pipewire
