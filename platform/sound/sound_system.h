#pragma once

#include <memory>

#include "platform/sound_service.h"

namespace wavorin {

// The one place that chooses how sounds are played, once, when the sound
// system starts: SDL2 when SDL_AUDIODRIVER names its driver, else the
// desktop's sound server when one answers, else SDL2 (ALSA, or its silent
// driver). Falling back is told on standard error only when a server was
// expected (PULSE_SERVER set, or the session's socket present) and refused.
std::unique_ptr<SoundService> start_sound_system();

}  // namespace wavorin
