#include "platform/sound/pulse/pulse_stream.h"

#include <pulse/context.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>
#include <unistd.h>

#include "platform/app_identity.h"

namespace wavorin::pulse {
namespace {

// On a server that rewinds its device (PulseAudio): a buffer whose latency
// is at least what the device runs ahead when idle (two seconds for its
// null sink), so that the device rewinds all of it when a sound starts or
// is cut, and the device and this program wake rarely.
constexpr std::chrono::milliseconds kRewoundBuffer{3000};
constexpr std::chrono::milliseconds kRewoundRequest{250};
// Started as soon as this much is queued, also after an underrun.
constexpr std::chrono::milliseconds kRewoundStart{20};

pa_buffer_attr rewound_buffer_attr() {
  pa_buffer_attr attr = buffer_attr(kRewoundBuffer);
  attr.minreq = bytes_for(kRewoundRequest);
  attr.prebuf = bytes_for(kRewoundStart);
  return attr;
}

}  // namespace

std::uint32_t bytes_for(std::chrono::milliseconds time) {
  return static_cast<std::uint32_t>(
      pa_usec_to_bytes(static_cast<pa_usec_t>(std::chrono::microseconds(time).count()), &kSpec));
}

pa_buffer_attr buffer_attr(std::chrono::milliseconds target) {
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = bytes_for(target);
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = bytes_for(target) / 4;
  attr.fragsize = static_cast<std::uint32_t>(-1);
  return attr;
}

void drop(pa_operation* operation) {
  if (operation != nullptr) pa_operation_unref(operation);
}

pa_context* new_context(pa_mainloop_api* api) {
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, kApplicationName);
  pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, kApplicationId);
  pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, kApplicationId);
  pa_proplist_sets(properties, PA_PROP_APPLICATION_PROCESS_ID, std::to_string(::getpid()).c_str());
  pa_context* context = pa_context_new_with_proplist(api, kApplicationName, properties);
  pa_proplist_free(properties);
  return context;
}

void close_context(pa_context*& context) {
  if (context == nullptr) return;
  pa_context_set_state_callback(context, nullptr, nullptr);
  pa_context_disconnect(context);
  pa_context_unref(context);
  context = nullptr;
}

pa_stream* new_stream(pa_context* context, const std::string& media_name) {
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "music");
  pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, media_name.c_str());
  pa_stream* stream =
      pa_stream_new_with_proplist(context, kApplicationName, &kSpec, nullptr, properties);
  pa_proplist_free(properties);
  return stream;
}

bool connect_stream(pa_stream* stream, bool rewinds) {
  // A server that cannot take back what its device holds (PipeWire) starts
  // a sound on the device's next cycle: the stream asks for a short one at
  // first, so a click is heard at once, and raises it once a long sound has
  // started. A server that rewinds (PulseAudio) starts and cuts a sound at
  // once whatever the buffer, but only as far back as the latency its
  // streams ask for: a stream asking for less than an idle device runs
  // ahead would wait for the device's next round, up to two seconds.
  const pa_buffer_attr attr = rewinds ? rewound_buffer_attr() : buffer_attr(kShortBuffer);
  const auto flags = static_cast<pa_stream_flags_t>(
      PA_STREAM_START_CORKED | (rewinds ? 0 : PA_STREAM_ADJUST_LATENCY) |
      PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
  return pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) == 0;
}

void close_stream(pa_stream*& stream) {
  if (stream == nullptr) return;
  pa_stream_set_state_callback(stream, nullptr, nullptr);
  pa_stream_set_write_callback(stream, nullptr, nullptr);
  pa_stream_disconnect(stream);
  pa_stream_unref(stream);
  stream = nullptr;
}

void rename_stream(pa_stream* stream, const std::string& media_name) {
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, media_name.c_str());
  drop(pa_stream_proplist_update(stream, PA_UPDATE_REPLACE, properties, nullptr, nullptr));
  pa_proplist_free(properties);
}

}  // namespace wavorin::pulse
