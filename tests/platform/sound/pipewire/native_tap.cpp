#include "tests/platform/sound/pipewire/native_tap.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <array>
#include <cstdlib>

namespace wavorin::test {

struct NativeTapListener {
  spa_hook hook{};
};

namespace {
constexpr int kRate = 44100;
// Louder than the converter's dither or rounding can make silence.
constexpr int kLoud = 4;
}  // namespace

struct NativeTap::Callbacks {
  static void process(void* data) {
    auto* self = static_cast<NativeTap*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_);
    if (buffer == nullptr) return;
    const spa_data& plane = buffer->buffer->datas[0];
    pw_time time{};
    pw_stream_get_time_n(self->stream_, &time, sizeof time);
    if (plane.data != nullptr && plane.chunk != nullptr && plane.chunk->size != 0) {
      const std::uint32_t frames = plane.chunk->size / 4;
      self->quantum_.store(frames, std::memory_order_release);
      self->cycles_.fetch_add(1, std::memory_order_acq_rel);
      const auto* samples = static_cast<const std::int16_t*>(plane.data) + plane.chunk->offset / 2;
      for (std::size_t frame = 0; frame < frames; ++frame) {
        if (std::abs(samples[2 * frame]) < kLoud && std::abs(samples[2 * frame + 1]) < kLoud) {
          continue;
        }
        const std::int64_t at = time.now + static_cast<std::int64_t>(frame) * 1'000'000'000 / kRate;
        std::int64_t none = 0;
        if (self->first_ns_.compare_exchange_strong(none, at, std::memory_order_acq_rel)) {
          self->first_quantum_.store(frames, std::memory_order_release);
        }
        self->last_ns_.store(at, std::memory_order_release);
      }
    }
    pw_stream_queue_buffer(self->stream_, buffer);
  }
};

namespace {
constexpr pw_stream_events kEvents = [] {
  pw_stream_events events{};
  events.version = PW_VERSION_STREAM_EVENTS;
  events.process = &NativeTap::Callbacks::process;
  return events;
}();
}  // namespace

std::unique_ptr<NativeTap> NativeTap::open(const std::string& sink) {
  pw_init(nullptr, nullptr);
  std::unique_ptr<NativeTap> tap(new NativeTap());
  tap->listener_ = std::make_unique<NativeTapListener>();
  tap->loop_ = pw_thread_loop_new("native-tap", nullptr);
  if (tap->loop_ == nullptr) return nullptr;
  pw_properties* properties = pw_properties_new(
      PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_MEDIA_ROLE, "Production",
      PW_KEY_TARGET_OBJECT, sink.c_str(), PW_KEY_STREAM_CAPTURE_SINK, "true", PW_KEY_NODE_PASSIVE,
      "true", PW_KEY_NODE_LATENCY, "8192/44100", PW_KEY_NODE_NAME, "wavorin-monitor-tap", nullptr);
  pw_thread_loop_lock(tap->loop_);
  tap->stream_ = pw_stream_new_simple(pw_thread_loop_get_loop(tap->loop_), "monitor tap",
                                      properties, &kEvents, tap.get());
  int result = -1;
  if (tap->stream_ != nullptr) {
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16;
    info.rate = kRate;
    info.channels = 2;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    std::array<std::uint8_t, 1024> pod{};
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, pod.data(), static_cast<std::uint32_t>(pod.size()));
    const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    result = pw_stream_connect(
        tap->stream_, PW_DIRECTION_INPUT, PW_ID_ANY,
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                     PW_STREAM_FLAG_RT_PROCESS),
        params, 1);
  }
  pw_thread_loop_unlock(tap->loop_);
  if (result < 0 || pw_thread_loop_start(tap->loop_) < 0) return nullptr;
  return tap;
}

NativeTap::~NativeTap() {
  if (loop_ == nullptr) return;
  pw_thread_loop_stop(loop_);
  if (stream_ != nullptr) pw_stream_destroy(stream_);
  pw_thread_loop_destroy(loop_);
}

void NativeTap::arm() {
  first_ns_.store(0, std::memory_order_release);
  first_quantum_.store(0, std::memory_order_release);
  last_ns_.store(0, std::memory_order_release);
}

}  // namespace wavorin::test
