#include "tests/platform/sound/test_sounds.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>
#include <stdexcept>

namespace wavorin::test {

TestSounds::TestSounds() {
  std::string pattern = (std::filesystem::temp_directory_path() / "wavorin-sound-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
}

TestSounds::~TestSounds() {
  std::error_code ignored;
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder_, ignored);
}

std::string TestSounds::path(const std::string& file_name) const {
  return (folder_ / file_name).string();
}

std::string TestSounds::write(const std::string& file_name,
                              const std::vector<std::int16_t>& samples, int channels, int rate,
                              int format) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  std::string where = path(file_name);
  SNDFILE* file = sf_open(where.c_str(), SFM_WRITE, &info);
  if (file == nullptr) throw std::runtime_error(sf_strerror(nullptr));
  sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
  sf_close(file);
  return where;
}

std::string TestSounds::write(const std::string& file_name, const std::vector<float>& samples,
                              int channels, int rate, int format, const std::vector<int>& layout) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  std::string where = path(file_name);
  SNDFILE* file = sf_open(where.c_str(), SFM_WRITE, &info);
  if (file == nullptr) throw std::runtime_error(sf_strerror(nullptr));
  if (!layout.empty()) {
    std::vector<int> map = layout;
    sf_command(file, SFC_SET_CHANNEL_MAP_INFO, map.data(),
               static_cast<int>(map.size() * sizeof(int)));
  }
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
  sf_close(file);
  return where;
}

std::string TestSounds::write_bytes(const std::string& file_name,
                                    const std::vector<std::uint8_t>& bytes) {
  std::string where = path(file_name);
  std::ofstream out(where, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return where;
}

std::vector<std::uint8_t> TestSounds::read_bytes(const std::string& file_name) const {
  std::ifstream in(path(file_name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::int16_t> noise(std::size_t frames, int channels, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  std::vector<std::int16_t> samples(frames * static_cast<std::size_t>(channels));
  for (auto& s : samples) s = static_cast<std::int16_t>(sample(random));
  return samples;
}

std::vector<float> sine(double seconds, int rate, int channels, double hz, float amplitude,
                        int only_channel) {
  const auto frames = static_cast<std::size_t>(std::lround(seconds * rate));
  std::vector<float> samples(frames * static_cast<std::size_t>(channels), 0.0F);
  for (std::size_t f = 0; f < frames; ++f) {
    const auto value = static_cast<float>(
        amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(f) / rate));
    for (int c = 0; c < channels; ++c) {
      if (only_channel < 0 || c == only_channel) {
        samples[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = value;
      }
    }
  }
  return samples;
}

std::vector<std::int16_t> level(double seconds, std::int16_t value) {
  return std::vector<std::int16_t>(static_cast<std::size_t>(std::lround(seconds * 44100)) * 2,
                                   value);
}

}  // namespace wavorin::test
