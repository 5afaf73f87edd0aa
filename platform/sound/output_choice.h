#pragma once

#include <memory>

#include "platform/sound/sound_output.h"

namespace wavorin {

// The one place that chooses the output, once, when the sound system
// starts. WAVORIN_SOUND_OUTPUT names one to force ("pulse", "sdl", and any
// output built in); otherwise SDL when SDL_AUDIODRIVER is set, else the first
// of the desktop's servers' outputs whose maker connects (a native PipeWire
// output where one is built, then libpulse), else SDL (ALSA, or its silent
// driver). A refusal is told on standard error only when a server was
// expected (PULSE_SERVER set, or the session's socket present).
std::unique_ptr<SoundOutput> choose_output(OutputListener& listener);

}  // namespace wavorin
