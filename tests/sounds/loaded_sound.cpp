#include "tests/sounds/loaded_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace wavorin::test {

namespace {

constexpr double full_scale = 32767.0;

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

}  // namespace

std::size_t LoadedSound::frames() const {
  return info.channels > 0 ? samples.size() / static_cast<std::size_t>(info.channels) : 0;
}

double LoadedSound::seconds() const {
  return info.samplerate > 0 ? static_cast<double>(frames()) / info.samplerate : 0.0;
}

short LoadedSound::at(std::size_t frame, int channel) const {
  return samples.at(frame * static_cast<std::size_t>(info.channels) +
                    static_cast<std::size_t>(channel));
}

double LoadedSound::peak(std::size_t first, std::size_t last) const {
  int result = 0;
  const auto channels = static_cast<std::size_t>(info.channels);
  for (std::size_t i = first * channels; i < last * channels; ++i) {
    result = std::max(result, std::abs(static_cast<int>(samples.at(i))));
  }
  return result / full_scale;
}

double LoadedSound::rms(std::size_t first, std::size_t last) const {
  const auto channels = static_cast<std::size_t>(info.channels);
  double sum = 0.0;
  for (std::size_t i = first * channels; i < last * channels; ++i) {
    const double s = samples.at(i) / full_scale;
    sum += s * s;
  }
  const auto count = static_cast<double>((last - first) * channels);
  return count > 0 ? std::sqrt(sum / count) : 0.0;
}

double LoadedSound::mean(int channel) const {
  double sum = 0.0;
  for (std::size_t f = 0; f < frames(); ++f) {
    sum += at(f, channel) / full_scale;
  }
  return frames() > 0 ? sum / static_cast<double>(frames()) : 0.0;
}

LoadedSound load_sound(const std::filesystem::path& path) {
  LoadedSound sound;
  const std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &sound.info));
  if (!file) {
    sound.error = path.string() + ": " + sf_strerror(nullptr);
    return sound;
  }
  sound.samples.resize(static_cast<std::size_t>(sound.info.frames * sound.info.channels));
  const sf_count_t read = sf_readf_short(file.get(), sound.samples.data(), sound.info.frames);
  if (read != sound.info.frames) {
    sound.error = path.string() + ": short read: " + sf_strerror(file.get());
  }
  return sound;
}

}  // namespace wavorin::test
