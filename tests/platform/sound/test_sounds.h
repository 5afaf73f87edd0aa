#pragma once

#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace wavorin::test {

// A private temporary folder of sound files written with libsndfile for one
// test; removed with everything in it.
class TestSounds {
 public:
  TestSounds();
  TestSounds(const TestSounds&) = delete;
  TestSounds& operator=(const TestSounds&) = delete;
  ~TestSounds();

  const std::filesystem::path& folder() const { return folder_; }
  std::string path(const std::string& file_name) const;

  // Writes interleaved 16-bit samples as they are (16-bit PCM, or `format`).
  std::string write(const std::string& file_name, const std::vector<std::int16_t>& samples,
                    int channels, int rate = 44100, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  // Writes interleaved float samples in `format`; an empty `layout` writes none.
  std::string write(const std::string& file_name, const std::vector<float>& samples, int channels,
                    int rate, int format, const std::vector<int>& layout = {});
  std::string write_bytes(const std::string& file_name, const std::vector<std::uint8_t>& bytes);
  std::vector<std::uint8_t> read_bytes(const std::string& file_name) const;

 private:
  std::filesystem::path folder_;
};

// Reproducible white noise, full 16-bit range, `frames` frames of `channels`.
std::vector<std::int16_t> noise(std::size_t frames, int channels, unsigned seed);
// A sine on every channel, or only on `only_channel` when it is not -1.
std::vector<float> sine(double seconds, int rate, int channels, double hz, float amplitude,
                        int only_channel = -1);
// A constant level on both channels of 44.1 kHz stereo.
std::vector<std::int16_t> level(double seconds, std::int16_t value);

}  // namespace wavorin::test
