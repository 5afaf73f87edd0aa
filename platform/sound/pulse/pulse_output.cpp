#include "platform/sound/pulse/pulse_output.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/app_identity.h"
#include "platform/sound/pulse/pulse_stream.h"

namespace wavorin {
namespace {

using pulse::drop;
using pulse::kSpec;

// How long the first connection may take before the server counts as absent.
constexpr auto kConnectLimit = std::chrono::milliseconds(2000);
const std::size_t kFrameBytes = pa_frame_size(&kSpec);
// Older timing than this is asked for again when what was played is asked.
constexpr pa_usec_t kTimingAge = 10000;
constexpr std::size_t kFirstWrite = std::size_t{256} * 1024;

// Holds libpulse's loop lock for a scope.
class LoopLock {
 public:
  explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
  LoopLock(const LoopLock&) = delete;
  LoopLock& operator=(const LoopLock&) = delete;
  ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }

 private:
  pa_threaded_mainloop* loop_;
};

}  // namespace

std::unique_ptr<SoundOutput> PulseOutput::make(OutputListener& listener, std::string& refused) {
  std::unique_ptr<PulseOutput> out(new PulseOutput(listener));
  out->loop_ = pa_threaded_mainloop_new();
  if (out->loop_ == nullptr || pa_threaded_mainloop_start(out->loop_) < 0) {
    refused = "cannot start libpulse's main loop";
    return nullptr;
  }
  const LoopLock lock(out->loop_);
  const auto deadline = std::chrono::steady_clock::now() + kConnectLimit;
  if (out->connect()) {
    // Woken by the context's changes; the limit is checked at each.
    while (!out->ready_ && out->context_ != nullptr &&
           std::chrono::steady_clock::now() < deadline) {
      pa_threaded_mainloop_wait(out->loop_);
    }
  }
  if (out->ready_) return out;
  refused = out->context_ == nullptr ? out->why_ : "the sound server did not answer";
  return nullptr;
}

PulseOutput::~PulseOutput() {
  if (loop_ == nullptr) return;
  pa_threaded_mainloop_lock(loop_);
  pulse::close_stream(stream_);
  pulse::close_context(context_);
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

bool PulseOutput::connect() {
  context_ = pulse::new_context(pa_threaded_mainloop_get_api(loop_));
  if (context_ == nullptr) {
    why_ = "cannot make a libpulse context";
    return false;
  }
  pa_context_set_state_callback(context_, &PulseOutput::on_context_state, this);
  // nullptr: the server libpulse finds (PULSE_SERVER, then the session's).
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    why_ = pa_strerror(pa_context_errno(context_));
    pulse::close_context(context_);
    return false;
  }
  return true;
}

bool PulseOutput::open(const OutputFormat&, SampleSource& source, const std::string& media_name) {
  const LoopLock lock(loop_);
  source_ = &source;
  media_name_ = media_name.empty() ? kApplicationName : media_name;
  wanted_ = true;
  corked_ = true;
  pulled_ = 0;
  played_ = 0;
  played_at_uncork_ = 0;
  if (ready_) {
    make_stream();
    return stream_ != nullptr;
  }
  // Made again once the server answers; told as Lost if it does not.
  if (context_ == nullptr && !connect()) {
    wanted_ = false;
    return false;
  }
  return true;
}

void PulseOutput::make_stream() {
  pulse::close_stream(stream_);
  stream_ = pulse::new_stream(context_, media_name_);
  if (stream_ == nullptr) {
    why_ = pa_strerror(pa_context_errno(context_));
    return;
  }
  pa_stream_set_state_callback(stream_, &PulseOutput::on_stream_state, this);
  pa_stream_set_write_callback(stream_, &PulseOutput::on_write, this);
  pa_stream_set_suspended_callback(
      stream_,
      [](pa_stream* stream, void* self) {
        static_cast<PulseOutput*>(self)->tell(
            pa_stream_is_suspended(stream) > 0 ? OutputEvent::Suspended : OutputEvent::Resumed);
      },
      this);
  pa_stream_set_moved_callback(
      stream_,
      [](pa_stream*, void* self) { static_cast<PulseOutput*>(self)->tell(OutputEvent::Moved); },
      this);
  long_buffer_ = rewinds_;
  if (!pulse::connect_stream(stream_, rewinds_)) {
    why_ = pa_strerror(pa_context_errno(context_));
    pulse::close_stream(stream_);
  }
}

bool PulseOutput::is_open() const {
  const LoopLock lock(loop_);
  return wanted_;
}

void PulseOutput::set_corked(bool corked) {
  const LoopLock lock(loop_);
  set_corked_locked(corked);
}

void PulseOutput::set_corked_locked(bool corked) {
  if (corked == corked_) return;
  corked_ = corked;
  triggered_ = false;
  uncorked_at_ = std::chrono::steady_clock::now();
  played_at_uncork_ = played_;
  reading_since_.reset();
  if (stream_ == nullptr || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
  if (corked) {
    drop(pa_stream_cork(stream_, 1, nullptr, nullptr));
    return;
  }
  if (rewinds_) {
    // The server remixes its device's buffer when a stream is uncorked,
    // never for samples that reach a stream which has not played yet: they
    // would wait behind all its device already holds (two seconds on an idle
    // sink). So the first samples are queued while corked, then uncorked.
    drop(pa_stream_flush(stream_, nullptr, nullptr));
    write_some(true);
    drop(pa_stream_cork(stream_, 0, nullptr, nullptr));
    return;
  }
  drop(pa_stream_cork(stream_, 0, nullptr, nullptr));
  write_some();
}

void PulseOutput::wake() {
  const LoopLock lock(loop_);
  write_some();
}

void PulseOutput::write_some(bool uncorking) {
  if (stream_ == nullptr || (corked_ && !uncorking) || source_ == nullptr ||
      pa_stream_get_state(stream_) != PA_STREAM_READY) {
    return;
  }
  std::size_t room = pa_stream_writable_size(stream_);
  if (room == static_cast<std::size_t>(-1)) return;
  // A short sound (a click) goes to the server whole, at once: the server
  // starts it with its first samples.
  if (!triggered_ && rewinds_) room = std::max(room, kFirstWrite);
  bool wrote = false;
  while (room >= kFrameBytes) {
    void* data = nullptr;
    std::size_t size = room;
    if (pa_stream_begin_write(stream_, &data, &size) < 0 || data == nullptr) break;
    const std::size_t frames =
        source_->pull(static_cast<std::int16_t*>(data), std::min(size, room) / kFrameBytes);
    if (frames == 0) {
      pa_stream_cancel_write(stream_);
      break;
    }
    pa_stream_write(stream_, data, frames * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE);
    pulled_ += frames;
    room -= frames * kFrameBytes;
    wrote = true;
  }
  // Played at once, not when the buffer's start-up fill is reached.
  if (wrote && !triggered_) {
    triggered_ = true;
    drop(pa_stream_trigger(stream_, nullptr, nullptr));
    timed_ = false;
    drop(pa_stream_update_timing_info(
        stream_,
        [](pa_stream*, int, void* self) { static_cast<PulseOutput*>(self)->timed_ = true; }, this));
  }
}

std::uint64_t PulseOutput::flush() {
  const LoopLock lock(loop_);
  if (stream_ == nullptr || pa_stream_get_state(stream_) != PA_STREAM_READY) return pulled_;
  // The listener hears what was written `latency` ago. A server that
  // rewinds takes all of it back; one that cannot keeps what its device
  // already holds, which plays on.
  pa_usec_t latency = 0;
  int negative = 0;
  if (pa_stream_get_latency(stream_, &latency, &negative) == 0 && negative == 0) {
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (!rewinds_ && timing != nullptr) latency -= std::min(latency, timing->sink_usec);
    const std::uint64_t behind = pa_usec_to_bytes(latency, &kSpec) / kFrameBytes;
    pulled_ -= std::min(behind, pulled_);
  }
  drop(pa_stream_flush(stream_, nullptr, nullptr));
  triggered_ = false;
  if (rewinds_) {
    // Everything not heard was taken back: what follows is heard as the
    // server reads it, from now on.
    played_ = pulled_;
    played_at_uncork_ = pulled_;
    reading_since_ = std::chrono::steady_clock::now();
  }
  return pulled_;
}

void PulseOutput::drain() {
  const LoopLock lock(loop_);
  if (stream_ == nullptr || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
  drop(pa_stream_drain(
      stream_,
      [](pa_stream*, int success, void* self) {
        if (success != 0) static_cast<PulseOutput*>(self)->tell(OutputEvent::Drained);
      },
      this));
  drop(pa_stream_trigger(stream_, nullptr, nullptr));
}

void PulseOutput::close() {
  const LoopLock lock(loop_);
  wanted_ = false;
  source_ = nullptr;
  pulse::close_stream(stream_);
}

std::uint64_t PulseOutput::played() const {
  const LoopLock lock(loop_);
  if (stream_ == nullptr || !timed_ || pa_stream_get_state(stream_) != PA_STREAM_READY) {
    return played_;
  }
  // The server's own playback time, which follows its rewinds, but never
  // past what it has read: libpulse's interpolation runs on from an uncork
  // before the server has taken anything. Old timing is asked for again.
  const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
  pa_usec_t time = 0;
  if (timing == nullptr || timing->read_index < 0 || pa_stream_get_time(stream_, &time) < 0) {
    return played_;
  }
  timeval now{};
  pa_gettimeofday(&now);
  if (pa_timeval_diff(&now, &timing->timestamp) > kTimingAge) {
    drop(pa_stream_update_timing_info(stream_, nullptr, nullptr));
  }
  const auto now_steady = std::chrono::steady_clock::now();
  std::uint64_t bound = pulled_;
  if (rewinds_) {
    // A server that rewinds mixes what it reads in front of what its device
    // already holds: it is heard as it is read, at the device's pace, from
    // the first read on. (Its playback time would count it only once the
    // whole device buffer ahead of it had played: seconds of silence on an
    // idle device.) It reads nothing while the device is suspended or the
    // server stopped.
    // What it has read, in this stream's own count: what was written less
    // what it still holds (its indexes restart their meaning at a flush).
    if (timing->write_index_corrupt != 0 || timing->read_index_corrupt != 0) return played_;
    const std::int64_t held = timing->write_index - timing->read_index;
    const std::uint64_t queued = held > 0 ? static_cast<std::uint64_t>(held) / kFrameBytes : 0;
    const std::uint64_t read = pulled_ - std::min(queued, pulled_);
    bound = std::min(bound, read);
    if (!reading_since_ && !corked_ && read > played_at_uncork_) reading_since_ = now_steady;
    const std::chrono::duration<double> since =
        reading_since_ ? now_steady - *reading_since_ : std::chrono::duration<double>(0);
    bound =
        std::min(bound, played_at_uncork_ + static_cast<std::uint64_t>(since.count() * kSpec.rate));
  } else {
    if (!corked_) {
      const std::chrono::duration<double> since = now_steady - uncorked_at_;
      bound = std::min(bound,
                       played_at_uncork_ + static_cast<std::uint64_t>(since.count() * kSpec.rate));
    }
    bound = std::min<std::uint64_t>(bound, pa_usec_to_bytes(time, &kSpec) / kFrameBytes);
    // libpulse's interpolated time runs on while the server is stopped:
    // nothing it has not read can have been heard.
    if (timing->write_index_corrupt == 0 && timing->read_index_corrupt == 0) {
      const std::int64_t held = timing->write_index - timing->read_index;
      const std::uint64_t queued = held > 0 ? static_cast<std::uint64_t>(held) / kFrameBytes : 0;
      bound = std::min(bound, pulled_ - std::min(queued, pulled_));
    }
  }
  // Never back, except by a flush, which takes back what was not heard.
  played_ = std::min(std::max(played_, bound), pulled_);
  return played_;
}

void PulseOutput::set_latency(Latency latency) {
  const LoopLock lock(loop_);
  // A server that rewinds keeps its long buffer: a cut takes it back.
  const bool long_sound = latency == Latency::High;
  if (rewinds_ || stream_ == nullptr || long_sound == long_buffer_ ||
      pa_stream_get_state(stream_) != PA_STREAM_READY) {
    return;
  }
  long_buffer_ = long_sound;
  const pa_buffer_attr attr =
      pulse::buffer_attr(long_sound ? pulse::kLongBuffer : pulse::kShortBuffer);
  drop(pa_stream_set_buffer_attr(stream_, &attr, nullptr, nullptr));
}

void PulseOutput::set_media_name(const std::string& media_name) {
  const LoopLock lock(loop_);
  media_name_ = media_name;
  if (stream_ != nullptr) pulse::rename_stream(stream_, media_name);
}

std::string PulseOutput::why() const {
  const LoopLock lock(loop_);
  return why_;
}

void PulseOutput::tell(OutputEvent event, const std::string& reason) {
  listener_.on_output_event(event, reason);
}

void PulseOutput::lose(const std::string& reason) {
  why_ = reason;
  pulse::close_stream(stream_);
  if (!wanted_ && lost_) return;
  wanted_ = false;
  lost_ = true;
  tell(OutputEvent::Lost, reason);
}

void PulseOutput::on_context_state(pa_context* context, void* self) {
  auto* out = static_cast<PulseOutput*>(self);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
      // Ready once the server has said what it is.
      drop(pa_context_get_server_info(
          context,
          [](pa_context*, const pa_server_info* info, void* data) {
            auto* ready = static_cast<PulseOutput*>(data);
            ready->rewinds_ = info != nullptr && info->server_name != nullptr &&
                              std::strstr(info->server_name, "PipeWire") == nullptr;
            ready->ready_ = true;
            if (ready->wanted_) ready->make_stream();
            if (ready->lost_ && ready->wanted_ == (ready->stream_ != nullptr)) {
              ready->lost_ = false;
              ready->tell(OutputEvent::Restored);
            }
            pa_threaded_mainloop_signal(ready->loop_, 0);
          },
          self));
      return;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: {
      const std::string reason = pa_strerror(pa_context_errno(context));
      out->ready_ = false;
      pulse::close_stream(out->stream_);
      pulse::close_context(out->context_);
      out->lose(reason);
      break;
    }
    default:
      return;
  }
  pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseOutput::on_stream_state(pa_stream* stream, void* self) {
  auto* out = static_cast<PulseOutput*>(self);
  switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
      if (!out->corked_) {
        out->corked_ = true;
        out->set_corked_locked(false);
      }
      break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
      // The connection's own failure is told by the context; a stream the
      // server ended (its device removed, the stream killed) is lost alone.
      if (out->context_ == nullptr || pa_context_get_state(out->context_) != PA_CONTEXT_READY) {
        return;
      }
      out->lose(pa_strerror(pa_context_errno(out->context_)));
      break;
    default:
      return;
  }
}

void PulseOutput::on_write(pa_stream*, std::size_t, void* self) {
  static_cast<PulseOutput*>(self)->write_some();
}

}  // namespace wavorin
