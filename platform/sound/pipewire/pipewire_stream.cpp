#include "platform/sound/pipewire/pipewire_stream.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/app_identity.h"

namespace wavorin::pipewire {

struct StreamListener {
  spa_hook hook{};
};

namespace {

std::string latency_text(std::uint32_t frames, int rate) {
  return std::to_string(frames) + "/" + std::to_string(rate);
}

void update(pw_stream* stream, const char* key, const std::string& value) {
  const spa_dict_item item{key, value.c_str()};
  const spa_dict dict{0, 1, &item};
  pw_stream_update_properties(stream, &dict);
}

}  // namespace

struct Stream::Callbacks {
  // The graph's real-time thread, once a cycle while the node is driven.
  static void process(void* data) {
    auto* self = static_cast<Stream*>(data);
    self->cycled_.store(true, std::memory_order_relaxed);
    pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_.get());
    if (buffer == nullptr) return;
    spa_data& plane = buffer->buffer->datas[0];
    std::size_t frames = plane.data == nullptr ? 0 : plane.maxsize / self->frame_bytes_;
    if (buffer->requested != 0) frames = std::min<std::size_t>(frames, buffer->requested);

    auto* out = static_cast<std::int16_t*>(plane.data);
    Pulling pulling = self->pulling_.load(std::memory_order_acquire);
    const std::size_t got =
        frames == 0 || pulling == Pulling::No ? 0 : self->source_.pull(out, frames);
    if (pulling == Pulling::UntilShort && got < frames &&
        self->pulling_.compare_exchange_strong(pulling, Pulling::No, std::memory_order_acq_rel)) {
      pulling = Pulling::No;
    }
    std::memset(out + got * static_cast<std::size_t>(self->format_.channels), 0,
                (frames - got) * self->frame_bytes_);

    pw_time time{};
    if (pw_stream_get_time_n(self->stream_.get(), &time, sizeof time) == 0 &&
        time.rate.denom != 0) {
      // delay counts the graph's frames; the stream may run at another rate.
      const double to_ours = static_cast<double>(self->format_.rate) * time.rate.num /
                             static_cast<double>(time.rate.denom);
      const auto behind = static_cast<std::int64_t>(static_cast<double>(time.delay) * to_ours) +
                          static_cast<std::int64_t>(time.buffered);
      self->clock_.cycle(behind, time.now, frames, got);

      if (pulling == Pulling::No && self->clock_.played(time.now) >= self->clock_.pulled() &&
          !self->drained_signalled_.exchange(true, std::memory_order_acq_rel)) {
        pw_loop_signal_event(self->loop_, self->drained_event_);
      }
    } else {
      self->clock_.cycle(0, 0, frames, got);
    }
    std::uint64_t later = self->later_at_.load(std::memory_order_acquire);
    if (later != kNoLater && self->clock_.pulled() >= later &&
        self->later_at_.compare_exchange_strong(later, kNoLater, std::memory_order_acq_rel)) {
      pw_loop_signal_event(self->loop_, self->later_event_);
    }
    if (frames != 0) {
      plane.chunk->offset = 0;
      plane.chunk->stride = static_cast<std::int32_t>(self->frame_bytes_);
      plane.chunk->size = static_cast<std::uint32_t>(frames * self->frame_bytes_);
    }
    pw_stream_queue_buffer(self->stream_.get(), buffer);
  }

  static void state_changed(void* data, pw_stream_state /*old*/, pw_stream_state state,
                            const char* error) {
    auto* self = static_cast<Stream*>(data);
    switch (state) {
      case PW_STREAM_STATE_ERROR:
      case PW_STREAM_STATE_UNCONNECTED:
        if (!self->failed_) {
          self->failed_ = true;
          self->tell(StreamEvent::Failed, error != nullptr ? error : "the stream was removed");
        }
        break;
      case PW_STREAM_STATE_PAUSED:
        // libpipewire also says paused after our own flush, and while a
        // moved node is linked again, while it goes on being driven: only
        // another pause tells that the device was suspended or went.
        if (self->expect_pause_) {
          self->expect_pause_ = false;
          break;
        }
        if (self->active_ && self->streaming_ && !self->suspended_) {
          self->suspended_ = true;
          self->tell(StreamEvent::Suspended);
        }
        self->streaming_ = false;
        break;
      case PW_STREAM_STATE_STREAMING:
        self->streaming_ = true;
        if (self->suspended_) {
          self->suspended_ = false;
          self->tell(StreamEvent::Resumed);
        }
        break;
      case PW_STREAM_STATE_CONNECTING:
        break;
    }
  }

  // The position area is the driver's clock: another one means the node
  // was linked to another device.
  static void io_changed(void* data, std::uint32_t id, void* area, std::uint32_t /*size*/) {
    auto* self = static_cast<Stream*>(data);
    if (id != SPA_IO_Position || area == nullptr) return;
    // Only a driver that drove the node can be moved from: the ones it is
    // given while it is made and linked never ran it, and a paused node
    // leaves its driver without being moved.
    const bool drove = self->cycled_.exchange(false, std::memory_order_acq_rel);
    const bool moved =
        drove && self->active_ && self->driver_clock_ != nullptr && self->driver_clock_ != area;
    self->driver_clock_ = area;
    if (moved) {
      self->expect_pause_ = true;
      self->tell(StreamEvent::Moved);
    }
  }

  // On the loop's thread, after the real-time thread saw the pull count
  // reach where the later latency was asked for.
  static void later(void* data, std::uint64_t /*count*/) {
    auto* self = static_cast<Stream*>(data);
    self->set_latency(self->later_frames_);
  }

  // On the loop's thread, after the real-time thread saw the drain done.
  static void drained(void* data, std::uint64_t /*count*/) {
    auto* self = static_cast<Stream*>(data);
    if (self->pulling_.load(std::memory_order_acquire) == Pulling::No) {
      self->tell(StreamEvent::Drained);
    }
  }
};

namespace {

constexpr pw_stream_events kEvents = [] {
  pw_stream_events events{};
  events.version = PW_VERSION_STREAM_EVENTS;
  events.state_changed = &Stream::Callbacks::state_changed;
  events.io_changed = &Stream::Callbacks::io_changed;
  events.process = &Stream::Callbacks::process;
  return events;
}();

}  // namespace

Stream::Stream(const OutputFormat& format, SampleSource& source, PlayClock& clock,
               std::atomic<Pulling>& pulling, EventHandler on_event)
    : format_(format),
      frame_bytes_(format.frame_bytes()),
      source_(source),
      clock_(clock),
      pulling_(pulling),
      on_event_(std::move(on_event)),
      listener_(std::make_unique<StreamListener>()) {}

std::unique_ptr<Stream> Stream::open(pw_core* core, const OutputFormat& format,
                                     SampleSource& source, PlayClock& clock,
                                     std::atomic<Pulling>& pulling, const std::string& media_name,
                                     std::uint32_t latency_frames, EventHandler on_event,
                                     std::string& error) {
  std::unique_ptr<Stream> stream(new Stream(format, source, clock, pulling, std::move(on_event)));
  stream->latency_frames_ = latency_frames;
  const std::string latency = latency_text(latency_frames, format.rate);
  const std::string process = std::to_string(::getpid());
  pw_properties* properties = pw_properties_new(
      PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE, "Music",
      PW_KEY_MEDIA_NAME, media_name.c_str(), PW_KEY_APP_NAME, kApplicationName, PW_KEY_APP_ID,
      kApplicationId, PW_KEY_APP_ICON_NAME, kApplicationId, PW_KEY_NODE_NAME, kApplicationName,
      PW_KEY_NODE_LATENCY, latency.c_str(), PW_KEY_APP_PROCESS_ID, process.c_str(),
      // Driven only once linked to a device: a node not yet linked (the
      // session manager links it a few milliseconds after it is made, later
      // after a restart) would otherwise be driven by any clock and have
      // its first samples pulled and lost, and counted as heard.
      PW_KEY_NODE_WANT_DRIVER, "false", nullptr);
  stream->stream_.reset(pw_stream_new(core, kApplicationName, properties));
  if (!stream->stream_) {
    error = std::string("PipeWire refused the stream: ") + std::strerror(errno);
    return nullptr;
  }
  pw_stream_add_listener(stream->stream_.get(), &stream->listener_->hook, &kEvents, stream.get());
  stream->loop_ = pw_context_get_main_loop(pw_core_get_context(core));
  stream->drained_event_ = pw_loop_add_event(stream->loop_, &Callbacks::drained, stream.get());
  stream->later_event_ = pw_loop_add_event(stream->loop_, &Callbacks::later, stream.get());

  spa_audio_info_raw info{};
  info.format = SPA_AUDIO_FORMAT_S16;  // the machine's order, as OutputFormat says
  info.rate = static_cast<std::uint32_t>(format.rate);
  info.channels = static_cast<std::uint32_t>(format.channels);
  if (format.channels == 1) {
    info.position[0] = SPA_AUDIO_CHANNEL_MONO;
  } else if (format.channels == 2) {
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
  } else {
    info.flags = SPA_AUDIO_FLAG_UNPOSITIONED;
  }
  std::array<std::uint8_t, 1024> pod{};
  spa_pod_builder builder{};
  spa_pod_builder_init(&builder, pod.data(), static_cast<std::uint32_t>(pod.size()));
  const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
  // RT_PROCESS: the cycle that asks pulls at once, so nothing waits a
  // cycle in a queue. Made paused: driven once the first sound is ready.
  const auto flags =
      static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                   PW_STREAM_FLAG_RT_PROCESS | PW_STREAM_FLAG_INACTIVE);
  const int result =
      pw_stream_connect(stream->stream_.get(), PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1);
  if (result < 0) {
    error = std::string("PipeWire refused the stream: ") + std::strerror(-result);
    return nullptr;
  }
  return stream;
}

Stream::~Stream() {
  if (stream_) spa_hook_remove(&listener_->hook);
  stream_.reset();  // no cycle runs after this
  if (drained_event_ != nullptr) pw_loop_destroy_source(loop_, drained_event_);
  if (later_event_ != nullptr) pw_loop_destroy_source(loop_, later_event_);
}

void Stream::tell(StreamEvent event, const std::string& reason) {
  if (on_event_) on_event_(event, reason);
}

void Stream::set_active(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!active) suspended_ = false;
  pw_stream_set_active(stream_.get(), active);
}

void Stream::set_latency(std::uint32_t frames) {
  later_at_.store(kNoLater, std::memory_order_release);
  if (frames == latency_frames_) return;
  latency_frames_ = frames;
  update(stream_.get(), PW_KEY_NODE_LATENCY, latency_text(frames, format_.rate));
}

void Stream::set_latency_after(std::uint32_t frames, std::uint64_t pulled) {
  later_frames_ = frames;
  later_at_.store(pulled, std::memory_order_release);
}

void Stream::set_media_name(const std::string& media_name) {
  update(stream_.get(), PW_KEY_MEDIA_NAME, media_name);
}

void Stream::flush() {
  expect_pause_ = streaming_;
  pw_stream_flush(stream_.get(), false);
}

void Stream::drain() { drained_signalled_.store(false, std::memory_order_release); }

std::uint32_t Stream::node_id() const { return pw_stream_get_node_id(stream_.get()); }

}  // namespace wavorin::pipewire
