#include "platform/sound/decoding/sound_decoder.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace wavorin {
namespace {

// Encodings libsndfile decodes to 16-bit samples: reading them as shorts is
// exact, whereas a float round trip could alter them.
bool decodes_to_16_bits(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
      return true;
    default:
      return false;
  }
}

// About 46 ms at 44.1 kHz stereo; fewer frames when there are many channels,
// so a block never needs more than 64 KiB of floats.
std::size_t block_frames_for(int channels) {
  return std::clamp<std::size_t>(16384 / static_cast<std::size_t>(channels), 16, 2048);
}

// At most this many device frames come out of one read of the file.
constexpr std::size_t kMaxConvertedFrames = 8192;
// The lowest rate handed to SDL's converter.
constexpr int kMinConverterRate = 4000;

}  // namespace

std::optional<SoundDecoder> SoundDecoder::create(SoundFile file, const DeviceFormat& device,
                                                 std::string& error) {
  const int channels = file.channels();
  Route route = Route::floats;
  // SDL's converter sizes its work buffer by the ratio of the rates: a very
  // low rate is first raised by a whole factor here (linearly).
  const int factor = (kMinConverterRate + file.sample_rate() - 1) / file.sample_rate();
  if (factor == 1 && channels <= 2 && decodes_to_16_bits(file.subtype())) {
    const bool as_device_takes = channels == device.channels && file.sample_rate() == device.rate &&
                                 device.format == AUDIO_S16SYS;
    route = as_device_takes ? Route::direct : Route::shorts;
  }
  std::optional<ChannelMixer> mixer;
  if (channels > 2) mixer.emplace(channels, file.channel_map());

  SDL_AudioStream* stream = nullptr;
  if (route != Route::direct) {
    const SDL_AudioFormat source_format = route == Route::shorts ? AUDIO_S16SYS : AUDIO_F32SYS;
    const auto source_channels = static_cast<Uint8>(std::min(channels, 2));
    stream = SDL_NewAudioStream(source_format, source_channels, file.sample_rate() * factor,
                                device.format, static_cast<Uint8>(device.channels), device.rate);
    if (stream == nullptr) {
      error = std::string("cannot convert it for the sound device: ") + SDL_GetError();
      return std::nullopt;
    }
  }
  return SoundDecoder(std::move(file), device, route, stream, std::move(mixer));
}

SoundDecoder::SoundDecoder(SoundFile file, const DeviceFormat& device, Route route,
                           SDL_AudioStream* stream, std::optional<ChannelMixer> mixer)
    : file_(std::move(file)),
      device_(device),
      route_(route),
      stream_(stream),
      mixer_(std::move(mixer)),
      factor_(static_cast<std::size_t>((kMinConverterRate + file_.sample_rate() - 1) /
                                       file_.sample_rate())),
      block_frames_(block_frames_for(file_.channels())),
      feed_frames_(std::clamp<std::size_t>(kMaxConvertedFrames *
                                               static_cast<std::size_t>(file_.sample_rate()) /
                                               static_cast<std::size_t>(std::max(device.rate, 1)),
                                           1, block_frames_)) {
  const auto channels = static_cast<std::size_t>(file_.channels());
  if (route_ == Route::floats) {
    floats_.resize(block_frames_ * channels);
    if (mixer_) stereo_.resize(block_frames_ * 2);
  } else {
    shorts_.resize(block_frames_ * channels);
  }
}

SoundDecoder::SoundDecoder(SoundDecoder&& other) noexcept
    : file_(std::move(other.file_)),
      device_(other.device_),
      route_(other.route_),
      stream_(std::exchange(other.stream_, nullptr)),
      mixer_(std::move(other.mixer_)),
      factor_(other.factor_),
      block_frames_(other.block_frames_),
      feed_frames_(other.feed_frames_),
      frames_read_(other.frames_read_),
      shorts_(std::move(other.shorts_)),
      floats_(std::move(other.floats_)),
      stereo_(std::move(other.stereo_)),
      raised_(std::move(other.raised_)),
      raised_from_(std::move(other.raised_from_)),
      file_done_(other.file_done_) {}

SoundDecoder::~SoundDecoder() {
  if (stream_ != nullptr) SDL_FreeAudioStream(stream_);
}

double SoundDecoder::duration_seconds() const {
  return static_cast<double>(file_.frames()) / file_.sample_rate();
}

std::size_t SoundDecoder::read(std::byte* out, std::size_t capacity) {
  const std::size_t frame_bytes = device_.frame_bytes();
  const std::size_t frames = capacity / frame_bytes;
  if (frames == 0) return 0;
  if (route_ == Route::direct) {
    const auto wanted = static_cast<sf_count_t>(std::min(frames, block_frames_));
    const auto got = static_cast<std::size_t>(file_.read(shorts_.data(), wanted));
    frames_read_ += static_cast<sf_count_t>(got);
    if (got == 0) file_done_ = true;
    std::memcpy(out, shorts_.data(), got * frame_bytes);
    return got * frame_bytes;
  }
  const auto request = static_cast<int>(std::min<std::size_t>(frames * frame_bytes, 1U << 20));
  for (;;) {
    const int got = SDL_AudioStreamGet(stream_, out, request);
    if (got < 0) return 0;
    if (got > 0) return static_cast<std::size_t>(got);
    if (file_done_) return 0;
    if (!feed_converter()) {
      file_done_ = true;
      SDL_AudioStreamFlush(stream_);
    }
  }
}

bool SoundDecoder::feed_converter() {
  const auto wanted = static_cast<sf_count_t>(feed_frames_);
  if (route_ == Route::shorts) {
    const auto got = static_cast<std::size_t>(file_.read(shorts_.data(), wanted));
    frames_read_ += static_cast<sf_count_t>(got);
    return got > 0 && put(shorts_.data(), got, static_cast<std::size_t>(file_.channels()) * 2);
  }
  const auto got = static_cast<std::size_t>(file_.read(floats_.data(), wanted));
  frames_read_ += static_cast<sf_count_t>(got);
  if (got == 0) return false;
  const float* frames = floats_.data();
  if (mixer_) {
    mixer_->mix(floats_.data(), stereo_.data(), got);
    frames = stereo_.data();
  }
  const auto channels = static_cast<std::size_t>(std::min(file_.channels(), 2));
  if (factor_ == 1) return put(frames, got, channels * sizeof(float));
  return put(raised(frames, got, channels), got * factor_, channels * sizeof(float));
}

const float* SoundDecoder::raised(const float* frames, std::size_t count, std::size_t channels) {
  raised_.resize(count * factor_ * channels);
  if (!raised_from_) raised_from_.emplace(frames, frames + channels);
  std::vector<float>& from = *raised_from_;
  for (std::size_t f = 0; f < count; ++f) {
    for (std::size_t step = 0; step < factor_; ++step) {
      const float weight = static_cast<float>(step + 1) / static_cast<float>(factor_);
      for (std::size_t c = 0; c < channels; ++c) {
        const float to = frames[f * channels + c];
        raised_[(f * factor_ + step) * channels + c] = from[c] + (to - from[c]) * weight;
      }
    }
    std::copy(frames + f * channels, frames + (f + 1) * channels, from.begin());
  }
  return raised_.data();
}

bool SoundDecoder::put(const void* frames, std::size_t count, std::size_t frame_bytes) {
  // SDL 2.26's resampler drops samples when one put expands past its work
  // buffer; small puts keep every sample.
  constexpr std::size_t kFramesPerPut = 256;
  const auto* bytes = static_cast<const std::uint8_t*>(frames);
  for (std::size_t done = 0; done < count; done += kFramesPerPut) {
    const std::size_t n = std::min(kFramesPerPut, count - done);
    if (SDL_AudioStreamPut(stream_, bytes + done * frame_bytes,
                           static_cast<int>(n * frame_bytes)) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace wavorin
