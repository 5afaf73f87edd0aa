#pragma once

#include <memory>
#include <string>

#include "platform/sound/device_format.h"

namespace wavorin {

class AudioDevice;

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

  // Never fails while the 'dummy' driver is compiled in. Reports a fallback
  // on standard error, with SDL's reason, unless `told` says it was already
  // (and sets it). `silent_because` is set to that reason when no device
  // that is heard could be opened.
  std::unique_ptr<AudioDevice> open_device(const DeviceFormat& wanted, std::string& silent_because,
                                           bool& told);

 private:
  bool switch_to(const char* driver);

  bool subsystem_ = false;     // SDL_InitSubSystem succeeded
  bool switched_ = false;      // a driver was started by name since
  std::string silent_reason_;  // why the silent driver was chosen, if it was
  std::string start_failure_;  // SDL's reason when the audio system did not start
};

}  // namespace wavorin
