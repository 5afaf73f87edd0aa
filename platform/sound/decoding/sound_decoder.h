#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound/decoding/channel_mixer.h"
#include "platform/sound/decoding/device_format.h"
#include "platform/sound/decoding/sound_file.h"

namespace wavorin {

// Turns a sound file into device-format bytes, block by block, so memory
// stays the same whatever the file's length. Files whose samples are 16-bit
// stereo at the device's rate go to a 16-bit device untouched; everything
// else is converted by SDL's audio stream. Runs on the feeder thread.
class SoundDecoder {
 public:
  // Fails (with the reason in `error`) when SDL has no converter for the file.
  static std::optional<SoundDecoder> create(SoundFile file, const DeviceFormat& device,
                                            std::string& error);

  SoundDecoder(SoundDecoder&& other) noexcept;
  SoundDecoder& operator=(SoundDecoder&&) = delete;
  SoundDecoder(const SoundDecoder&) = delete;
  SoundDecoder& operator=(const SoundDecoder&) = delete;
  ~SoundDecoder();

  // Fills `out` with whole device frames (at most `capacity` bytes) and
  // returns the bytes written; 0 once the sound is over.
  std::size_t read(std::byte* out, std::size_t capacity);

  // Length the header announces, seconds.
  double duration_seconds() const;

  // True once read() has ended before the frames the file announced when it
  // was opened: the file was cut or could not be read to its end.
  bool cut_short() const { return file_done_ && frames_read_ < file_.frames(); }

 private:
  enum class Route { direct, shorts, floats };

  SoundDecoder(SoundFile file, const DeviceFormat& device, Route route, SDL_AudioStream* stream,
               std::optional<ChannelMixer> mixer);
  // Reads one block of the file into the converter; false at the end.
  bool feed_converter();
  bool put(const void* frames, std::size_t count, std::size_t frame_bytes);
  // `count` frames at factor_ times their rate, each step a straight line
  // from the frame before.
  const float* raised(const float* frames, std::size_t count, std::size_t channels);

  SoundFile file_;
  DeviceFormat device_;
  Route route_;
  SDL_AudioStream* stream_;
  std::optional<ChannelMixer> mixer_;
  std::size_t factor_;  // the file's rate is raised by this before SDL's converter
  std::size_t block_frames_;
  // File frames per read into the converter: few enough that what they
  // become at the device's rate stays small (one frame of a 1 Hz file is
  // 44,100 device frames).
  std::size_t feed_frames_;
  sf_count_t frames_read_ = 0;
  std::vector<std::int16_t> shorts_;
  std::vector<float> floats_;
  std::vector<float> stereo_;
  std::vector<float> raised_;
  std::optional<std::vector<float>> raised_from_;  // the last frame raised
  bool file_done_ = false;                         // the file gave its last frame
};

}  // namespace wavorin
