#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/sound/decoding/device_format.h"
#include "platform/sound/decoding/playback.h"
#include "platform/sound/decoding/sound_cache.h"
#include "platform/sound_problem.h"

namespace wavorin {

// Turns a file name into a sound ready to play: short sounds decoded once
// and kept, long ones streamed by a feeder started here. Opens and reads
// files, so it is called without any lock that an output or a Stop needs.
class SoundLoader {
 public:
  explicit SoundLoader(const DeviceFormat& format) : format_(format) {}

  // The sound, started; or nothing with `problem` saying why. `starved` is
  // called on the feeder's thread when samples come after the output found
  // none.
  std::shared_ptr<Playback> load(const std::string& name, std::function<void()> starved,
                                 std::optional<SoundReport>& problem);

 private:
  DeviceFormat format_;
  std::mutex cache_mutex_;  // guards cache_ alone, for a copy or a short decode
  SoundCache cache_;
};

}  // namespace wavorin
