// The sound service as a module: the program loads it when it is first
// needed, so that libpulse, SDL2, libsndfile and the libraries they bring
// cost its start nothing.
#include "platform/sound_module/module_entry.h"

#include "platform/sound/sound_system.h"

extern "C" __attribute__((visibility("default"))) wavorin::SoundService*
wavorin_make_sound_service() {
  try {
    return wavorin::start_sound_system().release();
  } catch (...) {
    return nullptr;
  }
}
