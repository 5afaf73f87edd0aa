#pragma once

#include <SDL2/SDL_audio.h>

#include <memory>

#include "platform/sound/device_format.h"

namespace wavorin {

class Playback;

// An open SDL output device (RAII). Its callback plays whatever Playback is
// attached, or silence.
class AudioDevice {
 public:
  // Opens the current driver's default output, asking for `wanted` and
  // accepting another rate or sample format only if the device insists.
  // Returns nothing on failure; SDL_GetError() tells why.
  static std::unique_ptr<AudioDevice> open(const DeviceFormat& wanted);

  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;
  ~AudioDevice();

  const DeviceFormat& format() const { return format_; }
  // Swaps the sound the callback reads (nullptr: silence) and lets the
  // device run. Holds the device lock only for the swap.
  void attach(Playback* playback);
  // False once the device is lost (unplugged, or its output failed).
  bool running() const;

 private:
  AudioDevice() = default;
  static void SDLCALL on_audio(void* self, Uint8* stream, int length);

  SDL_AudioDeviceID id_ = 0;
  DeviceFormat format_;
  Playback* playback_ = nullptr;  // guarded by the device lock
};

}  // namespace wavorin
