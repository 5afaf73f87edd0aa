#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/sound/pipewire/pipewire_handles.h"
#include "platform/sound/pipewire/play_clock.h"
#include "platform/sound/sound_output.h"

struct pw_core;
struct pw_loop;
struct spa_source;

namespace wavorin::pipewire {

// Whether a stream's node pulls its source. After drain() the owner sets
// UntilShort: the node pulls until the source gives less than a cycle, then
// stops (No) and plays silence until the owner says Yes again.
enum class Pulling { Yes, UntilShort, No };

// What happened to a stream, beyond what was asked; told on the loop's
// thread with its lock held.
enum class StreamEvent {
  Failed,     // the daemon refused or removed the node
  Suspended,  // the graph stopped driving the node while it should play
  Resumed,    // driven again after Suspended
  Moved,      // now driven by another device
  Drained,    // what was pulled before drain() has been played
};

// One playback node (a pw_stream) in the graph, fed from a SampleSource by
// its process callback on the graph's real-time thread: that callback only
// pulls what the source has for one cycle, pads with silence and tells the
// clock. Everything else is called with the connection's lock held.
class Stream {
 public:
  // libpipewire's events, defined where its headers are included.
  struct Callbacks;

  using EventHandler = std::function<void(StreamEvent event, const std::string& reason)>;

  // A node named after the program, carrying `media_name`, asking the graph
  // for cycles of `latency_frames`; it is made paused. Nothing, with the
  // reason, when libpipewire refuses it at once.
  static std::unique_ptr<Stream> open(pw_core* core, const OutputFormat& format,
                                      SampleSource& source, PlayClock& clock,
                                      std::atomic<Pulling>& pulling, const std::string& media_name,
                                      std::uint32_t latency_frames, EventHandler on_event,
                                      std::string& error);
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  // Removes the node from the graph.
  ~Stream();

  // Driven by the graph (pulls and plays), or paused, holding no device awake.
  void set_active(bool active);
  // The cycle the node asks the graph for, frames at the stream's rate; the
  // graph runs at the smallest any running node asks, within its limits.
  void set_latency(std::uint32_t frames);
  // Asks `frames` instead once the clock's pulled count reaches `pulled`
  // (the real-time thread sees it; the loop's thread asks).
  void set_latency_after(std::uint32_t frames, std::uint64_t pulled);
  void set_media_name(const std::string& media_name);
  // Drops what the node and its converter hold after the cycle in progress
  // (which has ended when this returns).
  void flush();
  // Tells Drained once, after the node stopped pulling (UntilShort gave way
  // to No), the clock says all that was pulled has been played.
  void drain();

  // The node's id in the graph; for tests and benches that look it up.
  std::uint32_t node_id() const;

 private:
  Stream(const OutputFormat& format, SampleSource& source, PlayClock& clock,
         std::atomic<Pulling>& pulling, EventHandler on_event);
  void tell(StreamEvent event, const std::string& reason = {});

  OutputFormat format_;
  std::size_t frame_bytes_;
  SampleSource& source_;
  PlayClock& clock_;
  std::atomic<Pulling>& pulling_;  // the owner's: whether the node pulls or plays silence
  EventHandler on_event_;
  StreamPtr stream_;
  std::unique_ptr<StreamListener> listener_;
  bool active_ = false;
  bool streaming_ = false;
  bool suspended_ = false;
  bool expect_pause_ = false;  // the next pause follows our flush or a move, not the device
  bool failed_ = false;
  std::uint32_t latency_frames_ = 0;     // what node.latency asks
  const void* driver_clock_ = nullptr;   // the position area of the driver the node follows
  pw_loop* loop_ = nullptr;              // the connection's: runs the event below
  spa_source* drained_event_ = nullptr;  // signalled by the real-time thread
  std::atomic<bool> drained_signalled_{false};
  static constexpr std::uint64_t kNoLater = ~std::uint64_t{0};
  spa_source* later_event_ = nullptr;  // signalled by the real-time thread
  std::atomic<std::uint64_t> later_at_{kNoLater};
  std::uint32_t later_frames_ = 0;
  std::atomic<bool> cycled_{false};  // a cycle ran since the driver was last told
};

}  // namespace wavorin::pipewire
