#include <algorithm>
#include <cmath>
#include <string>

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

}  // namespace
}  // namespace wavorin::test
