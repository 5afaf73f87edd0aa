#pragma once

#include <string>

namespace wavorin {

// Request flags of the sound service.
constexpr unsigned SND_SYNC = 0x0000;       // return when the sound has been heard to its end
constexpr unsigned SND_ASYNC = 0x0001;      // return at once; the sound goes on
constexpr unsigned SND_NODEFAULT = 0x0002;  // silence, not a default sound, for a bad name
constexpr unsigned SND_NOSTOP = 0x0010;     // refuse while another sound plays

// The system sound service: one sound at a time.
class SoundOut {
 public:
  virtual ~SoundOut() = default;

  // Plays the wave file `name` (a path in the locale's encoding), or ends the
  // current sound when `name` is empty. Returns non-zero when the sound was
  // played. A request without SND_NOSTOP ends the current sound first.
  virtual int sndPlaySoundA(const std::string& name, unsigned flags) = 0;
};

}  // namespace wavorin
