#include "tools/synth/wav_writer.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace wavorin::synth {

namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

std::int16_t quantise(double sample) {
  const long step = std::lround(sample * 32767.0);
  return static_cast<std::int16_t>(std::clamp(step, -32768L, 32767L));
}

}  // namespace

std::vector<std::int16_t> to_pcm16(const StereoBuffer& sound) {
  std::vector<std::int16_t> frames;
  frames.reserve(sound.frames() * 2);
  for (std::size_t i = 0; i < sound.frames(); ++i) {
    frames.push_back(quantise(sound.left()[i]));
    frames.push_back(quantise(sound.right()[i]));
  }
  return frames;
}

std::string write_wav_pcm16(const std::filesystem::path& path, const StereoBuffer& sound) {
  SF_INFO info{};
  info.samplerate = sample_rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  const std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file) {
    return path.string() + ": " + sf_strerror(nullptr);
  }
  // The samples are already integers, so libsndfile's own float conversion
  // (and its clipping mode) never touches them.
  const std::vector<std::int16_t> frames = to_pcm16(sound);
  const auto count = static_cast<sf_count_t>(sound.frames());
  if (sf_writef_short(file.get(), frames.data(), count) != count) {
    return path.string() + ": " + sf_strerror(file.get());
  }
  return {};
}

}  // namespace wavorin::synth
