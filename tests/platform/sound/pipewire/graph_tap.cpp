#include "tests/platform/sound/pipewire/graph_tap.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <array>

namespace wavorin::test {

struct TapListener {
  spa_hook hook{};
};

struct GraphTap::Callbacks {
  static void process(void* data) {
    auto* self = static_cast<GraphTap*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_);
    if (buffer == nullptr) return;
    const spa_data& plane = buffer->buffer->datas[0];
    if (plane.chunk != nullptr && plane.chunk->size != 0) {
      self->quantum_.store(plane.chunk->size / 4, std::memory_order_release);
      self->cycles_.fetch_add(1, std::memory_order_acq_rel);
    }
    pw_stream_queue_buffer(self->stream_, buffer);
  }
};

namespace {
constexpr pw_stream_events kEvents = [] {
  pw_stream_events events{};
  events.version = PW_VERSION_STREAM_EVENTS;
  events.process = &GraphTap::Callbacks::process;
  return events;
}();
}  // namespace

std::unique_ptr<GraphTap> GraphTap::open(const std::string& sink) {
  pw_init(nullptr, nullptr);
  std::unique_ptr<GraphTap> tap(new GraphTap());
  tap->listener_ = std::make_unique<TapListener>();
  tap->loop_ = pw_thread_loop_new("graph-tap", nullptr);
  if (tap->loop_ == nullptr) return nullptr;
  pw_properties* properties = pw_properties_new(
      PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_MEDIA_ROLE, "Music",
      PW_KEY_TARGET_OBJECT, sink.c_str(), PW_KEY_STREAM_CAPTURE_SINK, "true", PW_KEY_NODE_LATENCY,
      "8192/44100", PW_KEY_NODE_NAME, "wavorin-graph-tap", nullptr);
  pw_thread_loop_lock(tap->loop_);
  tap->stream_ = pw_stream_new_simple(pw_thread_loop_get_loop(tap->loop_), "graph tap", properties,
                                      &kEvents, tap.get());
  if (tap->stream_ == nullptr) {
    pw_thread_loop_unlock(tap->loop_);
    return nullptr;
  }
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
  const auto flags = static_cast<pw_stream_flags>(
      PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
  const int result =
      pw_stream_connect(tap->stream_, PW_DIRECTION_INPUT, PW_ID_ANY, flags, params, 1);
  pw_thread_loop_unlock(tap->loop_);
  if (result < 0 || pw_thread_loop_start(tap->loop_) < 0) return nullptr;
  return tap;
}

GraphTap::~GraphTap() {
  if (loop_ == nullptr) return;
  pw_thread_loop_stop(loop_);
  if (stream_ != nullptr) pw_stream_destroy(stream_);
  pw_thread_loop_destroy(loop_);
}

}  // namespace wavorin::test
