#include "platform/sound/output_choice.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sound/pulse/pulse_output.h"
#include "platform/sound/sdl/sdl_output.h"
#ifdef WAVORIN_PIPEWIRE_OUTPUT
#include "platform/sound/pipewire/pipewire_output.h"
#endif

namespace wavorin {
namespace {

struct OutputEntry {
  const char* name;
  OutputMaker make;
};

// The desktop's servers' outputs, in the order they are tried; SDL last.
// PipeWire's own client first: it refuses where PipeWire plays to no
// device (a desktop whose sound server is PulseAudio, with PipeWire only
// for screen sharing), and libpulse then plays through PulseAudio.
constexpr OutputEntry kServerOutputs[] = {
#ifdef WAVORIN_PIPEWIRE_OUTPUT
    {"pipewire", &pipewire::PipeWireOutput::make},
#endif
    {"pulse", &PulseOutput::make},
};
constexpr OutputEntry kFallback{"sdl", &SdlOutput::make};

const char* set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

// Where libpulse looks first on a desktop: a server is running there, or was.
bool server_expected() {
  if (set("PULSE_SERVER") != nullptr) return true;
  const char* runtime = set("XDG_RUNTIME_DIR");
  if (runtime == nullptr) return false;
  struct stat status {};
  return ::stat((std::string(runtime) + "/pulse/native").c_str(), &status) == 0;
}

}  // namespace

std::unique_ptr<SoundOutput> choose_output(OutputListener& listener) {
  std::string refused;
  if (const char* forced = set("WAVORIN_SOUND_OUTPUT")) {
    for (const OutputEntry& entry : kServerOutputs) {
      if (std::string_view(forced) != entry.name) continue;
      if (auto output = entry.make(listener, refused)) return output;
      std::fprintf(stderr, "wavorin: the '%s' output refused (%s); playing through SDL\n", forced,
                   refused.c_str());
    }
    return kFallback.make(listener, refused);
  }
  if (set("SDL_AUDIODRIVER") != nullptr) return kFallback.make(listener, refused);
  for (const OutputEntry& entry : kServerOutputs) {
    if (auto output = entry.make(listener, refused)) return output;
  }
  if (server_expected()) {
    std::fprintf(stderr, "wavorin: the sound server does not answer (%s); playing through SDL\n",
                 refused.c_str());
  }
  return kFallback.make(listener, refused);
}

}  // namespace wavorin
