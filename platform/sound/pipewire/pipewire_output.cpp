#include "platform/sound/pipewire/pipewire_output.h"

#include <pipewire/pipewire.h>
#include <time.h>

#include <chrono>

#include "platform/sound/pipewire/pipewire_connection.h"
#include "platform/sound/pipewire/pipewire_stream.h"

namespace wavorin::pipewire {
namespace {

// What the node asks the graph for, as node.latency.
// A short sound starts at 256 frames (5.8 ms), the shortest cycle PipeWire's
// pulse server gives any of the desktop's programs, so a click starts within
// one. Once its first tenth of a second was pulled (a click is half that)
// it asks 512 frames, the cycle the pulse server runs such a sound at: on a
// busy machine the graph's clock now and then wakes late, and a cycle missed
// loses what was pulled for it. Beside two busy loops on two cores, sounds
// of up to a second lost a cycle in 2 of 6 runs of the sample-exact tests
// at 256 frames, in none of 6 at 512 (at 64 frames, in 2 of 4).
// A tune: 1024 frames (23 ms), one wake-up a cycle, as few as pw-play's.
// What a cycle was given plays to its end, so Stop's fade starts with the
// next cycle: up to 23 ms later while a tune alone runs the graph.
constexpr std::uint32_t kStartLatencyFrames = 256;
constexpr std::uint32_t kShortLatencyFrames = 512;
constexpr std::uint32_t kTuneLatencyFrames = 1024;
constexpr std::uint64_t kStartFrames = 4410;
constexpr std::chrono::milliseconds kFirstAnswer{1000};

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
      core, format, source, clock_, pulling_, media_name, kStartLatencyFrames,
      [this](StreamEvent event, const std::string& reason) { on_stream(event, reason); }, error);
  if (!stream_) {
    set_why(error);
    return false;
  }
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
  if (!stream_) return;
  if (latency == Latency::High) {
    stream_->set_latency(kTuneLatencyFrames);
    return;
  }
  // Each short sound starts at the short cycle again.
  stream_->set_latency(kStartLatencyFrames);
  stream_->set_latency_after(kShortLatencyFrames, clock_.pulled() + kStartFrames);
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
