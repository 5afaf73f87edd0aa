#pragma once

#include <sndfile.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace wavorin::test {

// A whole sound file read through libsndfile as 16-bit samples.
struct LoadedSound {
  SF_INFO info{};
  std::vector<short> samples;  // interleaved, info.channels per frame
  std::string error;           // libsndfile's reason when the file could not be read

  std::size_t frames() const;
  double seconds() const;
  // Full scale is 32767; `channel` counts from 0.
  short at(std::size_t frame, int channel) const;
  // Largest absolute sample over frames [first, last) of all channels, in 0..1.
  double peak(std::size_t first, std::size_t last) const;
  // Root mean square over frames [first, last) of all channels, in 0..1.
  double rms(std::size_t first, std::size_t last) const;
  // Mean of one channel over the whole file, in -1..1.
  double mean(int channel) const;
};

LoadedSound load_sound(const std::filesystem::path& path);

}  // namespace wavorin::test
