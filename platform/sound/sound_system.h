#pragma once

#include <memory>

#include "platform/sound_service.h"

namespace wavorin {

// The sound service: the rules over the output chosen once, when the sound
// system starts (platform/sound/output_choice.h).
std::unique_ptr<SoundService> start_sound_system();

}  // namespace wavorin
