#include "platform/sound/sdl/audio_driver.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <string_view>

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

SDL_AudioDeviceID AudioDriver::open_device(const SDL_AudioSpec& wanted, std::string& silent_because,
                                           bool& told) {
  // SDL converts to what the device takes: the output is fed one format.
  const auto open = [&wanted] { return SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0); };
  silent_because.clear();
  const char* current = SDL_GetCurrentAudioDriver();
  // The driver asked for by name when none could start: that is the one the
  // user looks for in the message.
  const char* asked = SDL_getenv("SDL_AUDIODRIVER");
  const std::string first = current != nullptr                   ? current
                            : asked != nullptr && *asked != '\0' ? asked
                                                                 : "none";
  SDL_AudioDeviceID device = 0;
  if (current != nullptr) device = open();
  if (device != 0) {
    // Still on the silent driver an earlier fallback chose.
    silent_because = silent_reason_;
    return device;
  }
  const std::string reason = current != nullptr        ? SDL_GetError()
                             : !start_failure_.empty() ? start_failure_
                                                       : "no audio driver started";

  std::string chosen;
  const int drivers = SDL_GetNumAudioDrivers();
  for (int i = 0; i < drivers && device == 0; ++i) {
    const std::string_view name = SDL_GetAudioDriver(i);
    // 'disk' writes a file in the current folder: only on explicit request.
    if (name == first || name == "disk" || name == "dummy") continue;
    if (switch_to(name.data())) device = open();
    if (device != 0) {
      chosen = name;
      silent_reason_.clear();
    }
  }
  if (device == 0 && switch_to("dummy")) {
    device = open();
    if (device != 0) {
      chosen = "dummy (silent)";
      silent_because = silent_reason_ = reason;
    }
  }
  if (told) {
    if (device == 0) silent_because = SDL_GetError();
    return device;
  }
  told = true;
  if (device != 0) {
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
