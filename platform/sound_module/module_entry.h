#pragma once

#include "platform/sound_service.h"

namespace wavorin {

// The one name the sound module exports: a new sound service, owned by the
// caller, or nullptr.
using MakeSoundService = SoundService* (*)();
inline constexpr const char* kMakeSoundService = "wavorin_make_sound_service";
inline constexpr const char* kSoundModuleFile = "libwavorin-sound.so";

}  // namespace wavorin
