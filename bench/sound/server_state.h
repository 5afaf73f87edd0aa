#pragma once

#include <sys/types.h>

namespace wavorin::bench {

// What the sound server in PULSE_SERVER (PulseAudio's, or PipeWire's pulse
// server) says of a player and its sink, read through pactl.

// The process's playback streams that are not corked (an uncorked stream
// keeps the server mixing for it), or -1 when pactl gives no answer.
int uncorked_streams(pid_t pid);

// Whether the default sink is suspended (its device closed), or false when
// pactl gives no answer.
bool default_sink_suspended();

}  // namespace wavorin::bench
