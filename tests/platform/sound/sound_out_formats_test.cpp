#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/sound/playback.h"
#include "tests/platform/sound/sound_out_fixture.h"

namespace wavorin::test {
namespace {

constexpr double kSeconds = 0.2;
constexpr float kAmplitude = 0.5F;
// The RMS a sine of kAmplitude has on a 16-bit device.
const double kSineRms = kAmplitude * 32767.0 / std::sqrt(2.0);
// Quieter than this counts as silence: above the noise of the lossy codecs.
constexpr int kThreshold = 300;

struct Variant {
  const char* name;
  int format;
  int rate;
  int channels;
  double level_tolerance;           // relative; lossy codecs get more
  double length_tolerance = 0.015;  // seconds
};

class FormatTest : public SoundOutTest, public ::testing::WithParamInterface<Variant> {};

// Each WAV encoding, rate and channel count libsndfile reads plays for its
// whole length at its own level on both sides.
TEST_P(FormatTest, PlaysWithTheRightLengthAndLevel) {
  const Variant& v = GetParam();
  const std::string file = files_.write(std::string(v.name) + ".wav",
                                        sine(kSeconds, v.rate, v.channels, 440.0, kAmplitude),
                                        v.channels, v.rate, v.format);
  ASSERT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  const auto out = heard();
  const auto span = audible_span(out, kThreshold);
  ASSERT_TRUE(span);
  EXPECT_NEAR(span->seconds(), kSeconds, v.length_tolerance);
  // Without a layout each side sums its half of the channels at equal power.
  const double expected = v.channels > 2 ? kSineRms * std::sqrt(v.channels / 2.0) : kSineRms;
  EXPECT_NEAR(rms(out, 0, *span), expected, expected * v.level_tolerance);
  EXPECT_NEAR(rms(out, 1, *span), expected, expected * v.level_tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    WaveVariants, FormatTest,
    ::testing::Values(Variant{"pcm_u8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 2, 0.03},
                      Variant{"pcm_16_mono", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 0.03},
                      Variant{"pcm_16_48k", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 0.03},
                      Variant{"pcm_16_8k", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 0.03},
                      Variant{"pcm_16_11025", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 11025, 2, 0.03},
                      Variant{"pcm_24_96k", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 96000, 2, 0.03},
                      Variant{"pcm_32_22050", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 22050, 2, 0.03},
                      Variant{"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, 0.03},
                      Variant{"double", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 32000, 1, 0.03},
                      Variant{"mu_law", SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1, 0.05},
                      Variant{"a_law", SF_FORMAT_WAV | SF_FORMAT_ALAW, 8000, 1, 0.05},
                      Variant{"ima_adpcm", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 22050, 2, 0.1},
                      Variant{"ms_adpcm", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 44100, 1, 0.1},
                      // Whole 320-sample blocks: the decoder's last block rings on.
                      Variant{"gsm610", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 0.2, 0.05},
                      Variant{"extensible", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 44100, 2, 0.03},
                      Variant{"rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 44100, 2, 0.03},
                      // Four channels without a layout: even ones left, odd ones right.
                      Variant{"four_channels", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 4, 0.03}),
    [](const ::testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

// 5.1 with its layout: each speaker goes to its side, LFE is dropped, and
// the weights of a side add up to one.
class SurroundTest : public SoundOutTest {
 protected:
  // Left and right RMS when only `speaker` (a channel index) sounds.
  std::pair<double, double> play_only(int speaker) {
    const std::vector<int> layout = {SF_CHANNEL_MAP_FRONT_LEFT,   SF_CHANNEL_MAP_FRONT_RIGHT,
                                     SF_CHANNEL_MAP_FRONT_CENTER, SF_CHANNEL_MAP_LFE,
                                     SF_CHANNEL_MAP_REAR_LEFT,    SF_CHANNEL_MAP_REAR_RIGHT};
    const std::string file =
        files_.write("surround.wav", sine(kSeconds, 48000, 6, 440.0, kAmplitude, speaker), 6, 48000,
                     SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, layout);
    EXPECT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
    const auto out = heard();
    const auto span = audible_span(out, kThreshold);
    if (!span) return {0.0, 0.0};
    EXPECT_NEAR(span->seconds(), kSeconds, 0.015);
    return {rms(out, 0, *span), rms(out, 1, *span)};
  }

  // Front left, centre at -3 dB and rear left at -3 dB share the left side.
  static constexpr double kSideSum = 1.0 + 2 * 0.70710678;
};

TEST_F(SurroundTest, FrontLeftGoesLeftOnly) {
  const auto [left, right] = play_only(0);
  EXPECT_NEAR(left, kSineRms / kSideSum, kSineRms * 0.02);
  EXPECT_LT(right, 30.0);
}

TEST_F(SurroundTest, RearRightGoesRightOnly) {
  const auto [left, right] = play_only(5);
  EXPECT_LT(left, 30.0);
  EXPECT_NEAR(right, kSineRms * 0.70710678 / kSideSum, kSineRms * 0.02);
}

TEST_F(SurroundTest, CentreGoesToBothSidesEqually) {
  const auto [left, right] = play_only(2);
  EXPECT_NEAR(left, kSineRms * 0.70710678 / kSideSum, kSineRms * 0.02);
  EXPECT_NEAR(right, left, 2.0);
}

TEST_F(SurroundTest, LowFrequencyEffectsAreDropped) {
  const auto [left, right] = play_only(3);
  EXPECT_EQ(left, 0.0);
  EXPECT_EQ(right, 0.0);
}

// A cut sound ramps down and then gives the device its own silence, for
// every sample format SDL may hand back (unsigned 8-bit silence is 0x80).
class CutRampTest : public ::testing::TestWithParam<SDL_AudioFormat> {
 protected:
  // The silence byte SDL states for `format`, from a device opened with it.
  static Uint8 silence_of(SDL_AudioFormat format) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = format;
    want.channels = 2;
    want.samples = 256;
    want.callback = [](void*, Uint8* stream, int length) {
      std::memset(stream, 0, static_cast<std::size_t>(length));
    };
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    EXPECT_NE(id, 0U) << SDL_GetError();
    EXPECT_EQ(have.format, format);
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return have.silence;
  }

  // Distance from silence of the first channel of `frame`, for the formats
  // this machine's byte order lets the ramp scale; -1 for the others.
  static double level(SDL_AudioFormat format, const std::vector<Uint8>& bytes, std::size_t frame) {
    const Uint8* at = bytes.data() + frame * 2 * (SDL_AUDIO_BITSIZE(format) / 8);
    const auto read = [at](auto sample) {
      std::memcpy(&sample, at, sizeof sample);
      return static_cast<double>(sample);
    };
    switch (format) {
      case AUDIO_U8:
        return std::abs(read(Uint8{}) - 128.0);
      case AUDIO_S8:
        return std::abs(read(Sint8{}));
      case AUDIO_S16SYS:
        return std::abs(read(Sint16{}));
      case AUDIO_S32SYS:
        return std::abs(read(Sint32{}));
      case AUDIO_F32SYS:
        return std::abs(read(float{}));
      default:
        return -1.0;
    }
  }
};

TEST_P(CutRampTest, CutSoundFallsToTheDevicesOwnSilence) {
  const SDL_AudioFormat format = GetParam();
  const DeviceFormat device{format, 44100, 2, 512, silence_of(format)};
  // A loud sound: every byte 0x70 is far from silence in every format.
  const auto loud =
      std::make_shared<std::vector<std::byte>>(device.frame_bytes() * 44100, std::byte{0x70});
  Playback playback(loud, device);
  std::vector<Uint8> buffer(device.frame_bytes() * 512);
  playback.fill(buffer.data(), static_cast<int>(buffer.size()));
  playback.request_fade();
  playback.fill(buffer.data(), static_cast<int>(buffer.size()));
  const std::size_t ramp_frames = 44100 * 5 / 1000;
  const bool scaled = level(format, buffer, 0) >= 0;
  if (scaled) {
    EXPECT_GT(level(format, buffer, 0), level(format, buffer, ramp_frames / 2));
    for (std::size_t f = 1; f < ramp_frames; ++f) {
      ASSERT_LE(level(format, buffer, f), level(format, buffer, f - 1)) << "frame " << f;
    }
  }
  const std::size_t silent_from = scaled ? ramp_frames * device.frame_bytes() : 0;
  EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(silent_from), buffer.end(),
                          [&](Uint8 b) { return b == device.silence; }));
  EXPECT_TRUE(playback.finished());
  playback.fill(buffer.data(), static_cast<int>(buffer.size()));
  EXPECT_TRUE(
      std::all_of(buffer.begin(), buffer.end(), [&](Uint8 b) { return b == device.silence; }));
}

INSTANTIATE_TEST_SUITE_P(DeviceFormats, CutRampTest,
                         ::testing::Values(AUDIO_U8, AUDIO_S8, AUDIO_U16LSB, AUDIO_U16MSB,
                                           AUDIO_S16LSB, AUDIO_S16MSB, AUDIO_S32LSB, AUDIO_S32MSB,
                                           AUDIO_F32LSB, AUDIO_F32MSB));

}  // namespace
}  // namespace wavorin::test
