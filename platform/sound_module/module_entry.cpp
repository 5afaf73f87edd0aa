// The sound service on SDL2 and libsndfile as a module: the program loads it
// when it is first needed, so that these libraries and the ones they
// bring cost its start nothing.
#include "platform/sound_module/module_entry.h"

#include <new>

#include "platform/sound/sdl_sound_out.h"

extern "C" __attribute__((visibility("default"))) wavorin::SoundService*
wavorin_make_sound_service() {
  return new (std::nothrow) wavorin::SdlSoundOut();
}
