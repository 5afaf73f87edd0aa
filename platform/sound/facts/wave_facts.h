#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace wavorin {

// What the window asks of a wave file (is it one, how long is it), read
// from its header by libsndfile: the sound module is not loaded and no
// server asked, so the answer never waits on either. Reads a regular file
// only, its header alone, whatever its length.
class WaveFacts {
 public:
  // Nothing when `path` is not a regular, readable wave file.
  static std::optional<WaveFacts> read(const std::string& path);

  int rate() const { return rate_; }
  int channels() const { return channels_; }
  std::int64_t frames() const { return frames_; }
  // Microseconds of sound.
  std::int64_t length_us() const;

 private:
  int rate_ = 0;
  int channels_ = 0;
  std::int64_t frames_ = 0;
};

}  // namespace wavorin
