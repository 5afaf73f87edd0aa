#pragma once

#include <chrono>

#include "platform/sound/sound_output.h"

// Every number of the sound rules, once.
namespace wavorin::rules {

using std::chrono::milliseconds;

// What every sound reaches an output in (what most wave files hold).
inline constexpr OutputFormat kFormat{44100, 2};
// A cut sound fades to silence over this instead of clicking off.
inline constexpr std::chrono::microseconds kFade{5000};
// From a cut to the cork, at most: the fade and a server's cycle. A server
// that says nothing of what it played (stopped) is corked then anyway.
inline constexpr milliseconds kCorkWait{60};
// How long the stream stays open, corked, after the last sound ended or a
// warm-up: long enough for the sounds that follow one another (a press's
// click and its tune, the probe after a tune), short because an open stream
// keeps the sound server and the device awake.
inline constexpr milliseconds kGrace{500};
// A synchronous sound not heard this long after its length (from when it
// was first taken, or asked for when never taken) is given up: the window
// that waits for it is never held by a stopped or suspended server.
inline constexpr milliseconds kSyncOverrun{50};
// The same for a sound that plays on while nobody waits: a slow device is
// let finish, a stopped server is not waited on for ever.
inline constexpr milliseconds kAsyncOverrun{2000};
// Sounds longer than this ask their output for a long latency.
inline constexpr milliseconds kLongSound{1000};
// How often the end of a sound is looked for once it is due.
inline constexpr milliseconds kEndPoll{2};
// How often a streamed sound is looked at for an early end (a file cut
// short) before its length has passed.
inline constexpr milliseconds kEndLook{250};

}  // namespace wavorin::rules
