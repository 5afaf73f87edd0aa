#include "platform/sound/decoding/sound_loader.h"

#include <utility>

#include "platform/sound/decoding/sound_decoder.h"
#include "platform/sound/decoding/sound_file.h"

namespace wavorin {
namespace {

// How far a streamed sound is decoded ahead of its output, seconds.
constexpr double kRingSeconds = 2.0;

SoundReport unplayable(const std::string& name, const std::string& reason) {
  return SoundReport{SoundProblem::FileUnplayable, name, 0, reason, SoundFile::fault_of(name)};
}

}  // namespace

std::shared_ptr<Playback> SoundLoader::load(const std::string& name, std::function<void()> starved,
                                            std::optional<SoundReport>& problem) {
  std::string error;
  const std::optional<FileIdentity> identity = FileIdentity::of(name, error);
  if (!identity) {
    problem = unplayable(name, error);
    return nullptr;
  }
  {
    const std::lock_guard lock(cache_mutex_);
    if (DecodedSound kept = cache_.find(name, *identity, format_)) {
      return std::make_shared<Playback>(std::move(kept), format_);
    }
  }
  std::optional<SoundFile> file = SoundFile::open_path(name, error);
  if (!file) {
    problem = unplayable(name, error);
    return nullptr;
  }
  const FileIdentity opened = file->identity();
  std::optional<SoundDecoder> decoder = SoundDecoder::create(std::move(*file), format_, error);
  if (!decoder) {
    problem = unplayable(name, error);
    return nullptr;
  }
  DecodedSound samples;
  {
    const std::lock_guard lock(cache_mutex_);
    samples = cache_.decode_and_keep(name, opened, format_, *decoder, decoder->duration_seconds());
  }
  if (samples) return std::make_shared<Playback>(std::move(samples), format_);
  auto playback = std::make_shared<Playback>(std::move(*decoder), format_, kRingSeconds);
  playback->on_starved_data(std::move(starved));
  playback->start();
  return playback;
}

}  // namespace wavorin
