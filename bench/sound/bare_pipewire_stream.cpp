#include "bench/sound/bare_pipewire_stream.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace wavorin::bench {

struct BareStreamListener {
  spa_hook hook{};
};

struct BarePipeWireStream::Callbacks {
  static void process(void* data) {
    auto* self = static_cast<BarePipeWireStream*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_);
    if (buffer == nullptr) return;
    spa_data& plane = buffer->buffer->datas[0];
    if (plane.data == nullptr) return;
    std::size_t frames = plane.maxsize / 4;
    if (buffer->requested != 0) frames = std::min<std::size_t>(frames, buffer->requested);
    auto* out = static_cast<std::int16_t*>(plane.data);
    std::memset(out, 0, frames * 4);
    if (self->start_.load(std::memory_order_acquire)) {
      const std::size_t left = self->samples_.size() / 2 - self->position_;
      const std::size_t given = std::min(frames, left);
      std::memcpy(out, self->samples_.data() + 2 * self->position_, given * 4);
      self->position_ += given;
    }
    plane.chunk->offset = 0;
    plane.chunk->stride = 4;
    plane.chunk->size = static_cast<std::uint32_t>(frames * 4);
    pw_stream_queue_buffer(self->stream_, buffer);
  }
};

namespace {
constexpr pw_stream_events kEvents = [] {
  pw_stream_events events{};
  events.version = PW_VERSION_STREAM_EVENTS;
  events.process = &BarePipeWireStream::Callbacks::process;
  return events;
}();
}  // namespace

BarePipeWireStream::BarePipeWireStream(std::vector<std::int16_t> samples)
    : samples_(std::move(samples)), listener_(std::make_unique<BareStreamListener>()) {
  pw_init(nullptr, nullptr);
  loop_ = pw_thread_loop_new("bare-stream", nullptr);
  pw_properties* properties = pw_properties_new(
      PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE, "Music",
      PW_KEY_NODE_LATENCY, "1/44100", PW_KEY_NODE_NAME, "wavorin-bench-floor", nullptr);
  pw_thread_loop_lock(loop_);
  stream_ = pw_stream_new_simple(pw_thread_loop_get_loop(loop_), "bare stream", properties,
                                 &kEvents, this);
  spa_audio_info_raw info{};
  info.format = SPA_AUDIO_FORMAT_S16;
  info.rate = 44100;
  info.channels = 2;
  info.position[0] = SPA_AUDIO_CHANNEL_FL;
  info.position[1] = SPA_AUDIO_CHANNEL_FR;
  std::array<std::uint8_t, 1024> pod{};
  spa_pod_builder builder{};
  spa_pod_builder_init(&builder, pod.data(), static_cast<std::uint32_t>(pod.size()));
  const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
  pw_stream_connect(
      stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY,
      static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                   PW_STREAM_FLAG_RT_PROCESS),
      params, 1);
  pw_thread_loop_unlock(loop_);
  pw_thread_loop_start(loop_);
}

BarePipeWireStream::~BarePipeWireStream() {
  pw_thread_loop_stop(loop_);
  pw_stream_destroy(stream_);
  pw_thread_loop_destroy(loop_);
}

}  // namespace wavorin::bench
