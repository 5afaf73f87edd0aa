#pragma once

#include <SDL2/SDL_audio.h>

#include <string>

namespace wavorin {

// SDL's audio subsystem (RAII) and the choice of back end. The desktop's
// driver is used when it can open a device; otherwise the other compiled
// drivers are tried in SDL's order and, at last, 'dummy', which is silent
// but keeps real time, so requests still behave.
class AudioDriver {
 public:
  AudioDriver();
  AudioDriver(const AudioDriver&) = delete;
  AudioDriver& operator=(const AudioDriver&) = delete;
  ~AudioDriver();

  // The device opened, taking `wanted` as it is (SDL converts); 0 only when
  // not even 'dummy' opens. Reports a fallback on standard error, with SDL's
  // reason, unless `told` says it was already (and sets it).
  // `silent_because` is set to that reason when no device that is heard
  // could be opened.
  SDL_AudioDeviceID open_device(const SDL_AudioSpec& wanted, std::string& silent_because,
                                bool& told);

 private:
  bool switch_to(const char* driver);

  bool subsystem_ = false;     // SDL_InitSubSystem succeeded
  bool switched_ = false;      // a driver was started by name since
  std::string silent_reason_;  // why the silent driver was chosen, if it was
  std::string start_failure_;  // SDL's reason when the audio system did not start
};

}  // namespace wavorin
