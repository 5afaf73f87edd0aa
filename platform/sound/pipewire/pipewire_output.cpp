#include "platform/sound/pipewire/pipewire_output.h"

#include <pipewire/pipewire.h>
#include <time.h>

#include <chrono>

#include "platform/sound/pipewire/pipewire_connection.h"
#include "platform/sound/pipewire/pipewire_stream.h"

namespace wavorin::pipewire {
namespace {

// What the node asks the graph for, as node.latency. A click: 64 frames
// (1.45 ms), the graph's cycle while it plays unless another client asks
// less. The graph allows down to its clock.min-quantum (16 frames here),
// but a client's real-time thread on a busy two-core machine misses
// cycles that short now and then, and each miss loses what it pulled (in
// half the runs of the sample-exact server tests at 16 frames, none at 64).
// A tune: 1024 frames (23 ms). What a cycle was given plays to its end, so
// Stop is heard about one and a half cycles late: 41 ms at 1024 frames
// against 74 ms at pw-play's 100 ms (the graph's largest cycle, 2048),
// for one wake-up a cycle, as many as pw-play's two at 2048.
constexpr std::uint32_t kClickLatencyFrames = 64;
constexpr std::uint32_t kTuneLatencyFrames = 1024;
constexpr std::chrono::milliseconds kFirstAnswer{1000};

// Frames at the stream's rate: node.latency is written as frames/rate.
std::uint32_t latency_frames(SoundOutput::Latency latency) {
  return latency == SoundOutput::Latency::Low ? kClickLatencyFrames : kTuneLatencyFrames;
}

std::int64_t monotonic_ns() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

PipeWireOutput::PipeWireOutput(OutputListener& listener) : listener_(listener) {}

std::unique_ptr<SoundOutput> PipeWireOutput::make(OutputListener& listener, std::string& refused) {
  std::unique_ptr<PipeWireOutput> output(new PipeWireOutput(listener));
  PipeWireOutput* self = output.get();
  output->connection_ = Connection::connect(
      [self](bool answers, const std::string& reason) { self->on_connection(answers, reason); },
      kFirstAnswer, refused);
  if (!output->connection_) return nullptr;
  return output;
}

PipeWireOutput::~PipeWireOutput() {
  // A maker that found no PipeWire ends its output without a connection.
  if (!connection_) return;
  {
    Connection::Lock lock(*connection_);
    stream_.reset();
  }
  connection_.reset();
}

bool PipeWireOutput::open(const OutputFormat& format, SampleSource& source,
                          const std::string& media_name) {
  Connection::Lock lock(*connection_);
  stream_.reset();
  open_.store(false, std::memory_order_release);
  pulling_.store(Pulling::Yes, std::memory_order_release);
  pw_core* core = connection_->core_for_stream();
  if (core == nullptr) {
    set_why(connection_->reason());
    return false;
  }
  clock_.restart(format.rate);
  std::string error;
  stream_ = Stream::open(
      core, format, source, clock_, pulling_, media_name, latency_frames(Latency::Low),
      [this](StreamEvent event, const std::string& reason) { on_stream(event, reason); }, error);
  if (!stream_) {
    set_why(error);
    return false;
  }
  latency_ = Latency::Low;
  lost_told_ = false;
  open_.store(true, std::memory_order_release);
  return true;
}

void PipeWireOutput::set_corked(bool corked) {
  Connection::Lock lock(*connection_);
  if (!stream_) return;
  if (!corked) pulling_.store(Pulling::Yes, std::memory_order_release);
  stream_->set_active(!corked);
}

// The node pulls in every cycle it is driven, so a short pull costs at most
// a cycle; only a drained node must be told that it may pull again.
void PipeWireOutput::wake() { pulling_.store(Pulling::Yes, std::memory_order_release); }

std::uint64_t PipeWireOutput::flush() {
  Connection::Lock lock(*connection_);
  if (!stream_) return clock_.pulled();
  stream_->flush();
  pulling_.store(Pulling::Yes, std::memory_order_release);
  // Pulled in the cycle that plays it: all of it is heard, or is being.
  return clock_.pulled();
}

void PipeWireOutput::drain() {
  Connection::Lock lock(*connection_);
  if (!stream_) return;
  stream_->drain();
  pulling_.store(Pulling::UntilShort, std::memory_order_release);
}

void PipeWireOutput::close() {
  Connection::Lock lock(*connection_);
  stream_.reset();
  open_.store(false, std::memory_order_release);
  pulling_.store(Pulling::Yes, std::memory_order_release);
}

std::uint64_t PipeWireOutput::played() const { return clock_.played(monotonic_ns()); }

void PipeWireOutput::set_latency(Latency latency) {
  Connection::Lock lock(*connection_);
  if (!stream_ || latency == latency_) return;
  latency_ = latency;
  stream_->set_latency(latency_frames(latency));
}

void PipeWireOutput::set_media_name(const std::string& media_name) {
  Connection::Lock lock(*connection_);
  if (stream_) stream_->set_media_name(media_name);
}

std::string PipeWireOutput::why() const {
  std::lock_guard lock(why_mutex_);
  return why_;
}

void PipeWireOutput::set_why(const std::string& why) {
  std::lock_guard lock(why_mutex_);
  why_ = why;
}

std::uint32_t PipeWireOutput::node_id() const {
  Connection::Lock lock(*connection_);
  return stream_ ? stream_->node_id() : 0;
}

void PipeWireOutput::on_connection(bool answers, const std::string& reason) {
  if (answers) {
    lost_told_ = false;
    listener_.on_output_event(OutputEvent::Restored, {});
    return;
  }
  // The streams go before the connection hangs up.
  stream_.reset();
  lose(reason);
}

void PipeWireOutput::on_stream(StreamEvent event, const std::string& reason) {
  switch (event) {
    case StreamEvent::Failed:
      // The stream stays until the next open() or close(): this is its own callback.
      lose(reason);
      break;
    case StreamEvent::Suspended:
      listener_.on_output_event(OutputEvent::Suspended, {});
      break;
    case StreamEvent::Resumed:
      listener_.on_output_event(OutputEvent::Resumed, {});
      break;
    case StreamEvent::Moved:
      listener_.on_output_event(OutputEvent::Moved, {});
      break;
    case StreamEvent::Drained:
      listener_.on_output_event(OutputEvent::Drained, {});
      break;
  }
}

void PipeWireOutput::lose(const std::string& reason) {
  open_.store(false, std::memory_order_release);
  set_why(reason);
  if (lost_told_) return;
  lost_told_ = true;
  listener_.on_output_event(OutputEvent::Lost, reason);
}

}  // namespace wavorin::pipewire
