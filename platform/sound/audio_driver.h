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
  // once on standard error, with SDL's reason.
  std::unique_ptr<AudioDevice> open_device(const DeviceFormat& wanted);
  // The last open fell back to the silent driver or found no device at all;
  // SDL's words for why the first driver failed.
  bool silent() const { return silent_; }
  const std::string& fallback_reason() const { return fallback_reason_; }

 private:
  bool switch_to(const char* driver);

  bool subsystem_ = false;  // SDL_InitSubSystem succeeded
  bool switched_ = false;   // a driver was started by name since
  bool silent_ = false;
  std::string fallback_reason_;
};

}  // namespace wavorin
