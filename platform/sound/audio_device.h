#pragma once

#include <SDL2/SDL_audio.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/sound/device_format.h"

namespace wavorin {

class Playback;

// An open SDL output device (RAII). Its callback plays whatever Playback is
// attached. While nothing plays the callback holds SDL's audio thread
// (parks it) instead of returning silence: SDL2 keeps writing silence to a
// paused device, which wakes the program and the sound server hundreds of
// times a second for nothing. A parked device has nothing queued, so the
// next sound starts with its first buffer.
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
  // Swaps the sound the callback reads (nullptr: none) and wakes a parked
  // callback. Waits at most for a callback in progress.
  void attach(Playback* playback);
  // False once the device is lost (unplugged, or its output failed).
  bool running() const;

 private:
  AudioDevice() = default;
  static void SDLCALL on_audio(void* self, Uint8* stream, int length);
  void release_parked();

  SDL_AudioDeviceID id_ = 0;
  DeviceFormat format_;
  // Guards the two below; held by the callback while it fills or parks.
  // SDL's own device lock is never taken: a parked callback holds it.
  std::mutex mutex_;
  std::condition_variable wake_;
  Playback* playback_ = nullptr;
  bool closing_ = false;  // never park again: SDL is ending the audio thread
};

}  // namespace wavorin
