#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/sound_out.h"
#include "platform/sound_problem.h"

namespace wavorin {

// The sound service as the program sets it up: requests, plus who hears of
// its problems and when it may start its sound system.
class SoundService : public SoundOut {
 public:
  // Told of every problem, on whichever thread meets it. Set it before the
  // first request.
  virtual void set_reporter(SoundReporter reporter) = 0;

  // Starts the sound system in the background, so the first request need
  // not wait for it. Call when a request is likely soon.
  virtual void warm_up() = 0;

  // Microseconds of sound in the wave file `name`, or nothing when it is not
  // a regular, readable wave file.
  virtual std::optional<std::int64_t> length_us(const std::string& name) = 0;
};

}  // namespace wavorin
