#include "platform/sound/facts/wave_facts.h"

#include "platform/sound/decoding/sound_file.h"

namespace wavorin {

std::int64_t WaveFacts::length_us() const {
  return rate_ <= 0 ? 0 : static_cast<std::int64_t>(static_cast<double>(frames_) * 1e6 / rate_);
}

std::optional<WaveFacts> WaveFacts::read(const std::string& path) {
  // The decoder's own opening: what it would refuse has no facts, and a
  // FIFO or a folder named like a wave file is refused before any read.
  std::string error;
  const std::optional<SoundFile> file = SoundFile::open_path(path, error);
  if (!file) return std::nullopt;
  WaveFacts facts;
  facts.rate_ = file->sample_rate();
  facts.channels_ = file->channels();
  facts.frames_ = file->frames();
  return facts;
}

}  // namespace wavorin
