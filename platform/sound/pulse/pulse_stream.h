#pragma once

#include <pulse/def.h>
#include <pulse/sample.h>

#include <chrono>
#include <cstdint>
#include <string>

struct pa_context;
struct pa_mainloop_api;
struct pa_operation;
struct pa_stream;

namespace wavorin::pulse {

// What every sound reaches the server in (what most wave files hold); the
// server converts for its device.
inline constexpr pa_sample_spec kSpec{PA_SAMPLE_S16NE, 44100, 2};
// The server's buffer while a short sound (a click) plays, on a server that
// cannot rewind: its device runs with a short latency, so the sound is heard
// at once.
inline constexpr std::chrono::milliseconds kShortBuffer{50};
// Once a long sound has started there: the server and this program then
// wake a few times a second.
inline constexpr std::chrono::milliseconds kLongBuffer{500};

std::uint32_t bytes_for(std::chrono::milliseconds time);
pa_buffer_attr buffer_attr(std::chrono::milliseconds target);
void drop(pa_operation* operation);

// A context that tells the server who plays: name, id, icon and process.
pa_context* new_context(pa_mainloop_api* api);
void close_context(pa_context*& context);

// A playback stream in kSpec, its media name `media_name`.
pa_stream* new_stream(pa_context* context, const std::string& media_name);
// Connects it, corked, with the buffer that suits the server; false when
// the server refuses.
bool connect_stream(pa_stream* stream, bool rewinds);
void close_stream(pa_stream*& stream);
// Shows another media name in the desktop's mixers.
void rename_stream(pa_stream* stream, const std::string& media_name);

}  // namespace wavorin::pulse
