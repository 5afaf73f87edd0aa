#include "platform/sound/audio_driver.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <string_view>

#include "platform/sound/audio_device.h"

namespace wavorin {

AudioDriver::AudioDriver() {
  // The program's own handlers (Qt's) keep SIGINT and SIGTERM.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  subsystem_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!subsystem_) start_failure_ = SDL_GetError();
}

AudioDriver::~AudioDriver() {
  if (subsystem_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  } else if (switched_) {
    SDL_AudioQuit();
  }
}

bool AudioDriver::switch_to(const char* driver) {
  if (SDL_AudioInit(driver) != 0) return false;
  switched_ = true;
  return true;
}

std::unique_ptr<AudioDevice> AudioDriver::open_device(const DeviceFormat& wanted,
                                                      std::string& silent_because, bool& told) {
  silent_because.clear();
  const char* current = SDL_GetCurrentAudioDriver();
  // The driver asked for by name when none could start: that is the one the
  // user looks for in the message.
  const char* asked = SDL_getenv("SDL_AUDIODRIVER");
  const std::string first = current != nullptr                   ? current
                            : asked != nullptr && *asked != '\0' ? asked
                                                                 : "none";
  std::unique_ptr<AudioDevice> device;
  if (current != nullptr) device = AudioDevice::open(wanted);
  if (device) {
    // Still on the silent driver an earlier fallback chose.
    silent_because = silent_reason_;
    return device;
  }
  const std::string reason = current != nullptr        ? SDL_GetError()
                             : !start_failure_.empty() ? start_failure_
                                                       : "no audio driver started";

  std::string chosen;
  const int drivers = SDL_GetNumAudioDrivers();
  for (int i = 0; i < drivers && !device; ++i) {
    const std::string_view name = SDL_GetAudioDriver(i);
    // 'disk' writes a file in the current folder: only on explicit request.
    if (name == first || name == "disk" || name == "dummy") continue;
    if (switch_to(name.data())) device = AudioDevice::open(wanted);
    if (device) {
      chosen = name;
      silent_reason_.clear();
    }
  }
  if (!device && switch_to("dummy")) {
    device = AudioDevice::open(wanted);
    if (device) {
      chosen = "dummy (silent)";
      silent_because = silent_reason_ = reason;
    }
  }
  if (told) {
    if (!device) silent_because = SDL_GetError();
    return device;
  }
  told = true;
  if (device) {
    std::fprintf(stderr, "wavorin: no sound device through '%s' (%s); playing through %s\n",
                 first.c_str(), reason.c_str(), chosen.c_str());
  } else {
    silent_because = SDL_GetError();
    std::fprintf(stderr, "wavorin: no sound device at all (%s): sounds are skipped\n",
                 silent_because.c_str());
  }
  return device;
}

}  // namespace wavorin
