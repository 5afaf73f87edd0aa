#pragma once

#include <SDL2/SDL_audio.h>

#include <cstddef>

namespace wavorin {

// What the open device takes: sample format, frames per second, interleaved
// channels, the frames of one device buffer (one callback), and the byte
// value of silence (0x80 for unsigned 8-bit samples), as the device states it.
struct DeviceFormat {
  SDL_AudioFormat format = AUDIO_S16SYS;
  int rate = 44100;
  int channels = 2;
  int buffer_frames = 1024;
  Uint8 silence = 0;

  std::size_t frame_bytes() const {
    return static_cast<std::size_t>(SDL_AUDIO_BITSIZE(format) / 8) *
           static_cast<std::size_t>(channels);
  }
  // One device buffer, seconds.
  double buffer_seconds() const { return static_cast<double>(buffer_frames) / rate; }
};

}  // namespace wavorin
