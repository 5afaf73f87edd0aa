#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/sound/decoding/playback.h"
#include "platform/sound/rules/sample_history.h"
#include "platform/sound/sound_output.h"

namespace wavorin {

// What the output plays: a cut sound's fade, then the current sound, in
// kFormat. The output's thread pulls; the request layer changes what plays
// between pulls. The lock is held by either side only for a copy, and pull()
// only tries it: a pull that finds it taken gives nothing and the output
// pulls again on its next cycle (the request layer wakes it at once). What
// the request layer asks while a sound plays (end(), taken(), pulled()) is read
// without the lock, so its polling never costs a cycle.
class SoundStream : public SampleSource {
 public:
  SoundStream();

  std::size_t pull(std::int16_t* out, std::size_t frames) noexcept override;

  // The request layer's side.
  // Plays `sound` after what is queued (a fade); nullptr plays nothing more.
  void play(std::shared_ptr<Playback> sound);
  // Ends the current sound where the output flushed to (`position`, from
  // flush()): a short fade of what was to be heard from there is queued.
  // Returns the stream position where the fade ends.
  std::uint64_t cut(std::uint64_t position);
  // Where the current sound's last frame lies, once all of it was pulled.
  std::optional<std::uint64_t> end() const;
  // Whether any frame of the current sound has been pulled.
  bool taken() const;
  // Frames pulled since restart(), a fade's included: where the output is.
  std::uint64_t pulled() const;
  // A new stream starts counting from 0.
  void restart();

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<Playback> sound_;
  std::vector<std::int16_t> fade_;
  std::size_t fade_at_ = 0;               // samples of fade_ pulled
  SampleHistory history_;                 // what was pulled, for a fade from where the listener is
  std::atomic<std::uint64_t> pulled_{0};  // frames, since restart()
  // Written under the lock, read without it.
  static constexpr std::uint64_t kNoEnd = UINT64_MAX;
  std::atomic<std::uint64_t> end_{kNoEnd};
  std::atomic<bool> taken_{false};
};

}  // namespace wavorin
