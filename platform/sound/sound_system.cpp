#include "platform/sound/sound_system.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sound/pulse_sound_out.h"
#include "platform/sound/sdl_sound_out.h"

namespace wavorin {
namespace {

bool set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Where libpulse looks first on a desktop: a server is running there, or was.
bool server_expected() {
  if (set("PULSE_SERVER")) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return false;
  struct stat status {};
  return ::stat((std::string(runtime) + "/pulse/native").c_str(), &status) == 0;
}

}  // namespace

std::unique_ptr<SoundService> start_sound_system() {
  if (set("SDL_AUDIODRIVER")) return std::make_unique<SdlSoundOut>();
  std::string refused;
  if (auto pulse = PulseSoundOut::connect(PulseSoundOut::Options{}, refused)) return pulse;
  if (server_expected()) {
    std::fprintf(stderr, "wavorin: the sound server does not answer (%s); playing through SDL\n",
                 refused.c_str());
  }
  return std::make_unique<SdlSoundOut>();
}

}  // namespace wavorin
