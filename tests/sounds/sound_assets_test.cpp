// Checks the committed sounds themselves, as the program will load them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/sounds/loaded_sound.h"

namespace wavorin::test {
namespace {

const std::filesystem::path assets_dir = WAVORIN_ASSETS_DIR;

std::size_t frames_in_ms(double ms) { return static_cast<std::size_t>(ms * 44.1); }

class EverySound : public ::testing::TestWithParam<std::string> {};

TEST_P(EverySound, IsStereoSixteenBitPcmWaveAt44100Hz) {
  const LoadedSound sound = load_sound(assets_dir / GetParam());
  ASSERT_TRUE(sound.error.empty()) << sound.error;
  EXPECT_EQ(sound.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(sound.info.samplerate, 44100);
  EXPECT_EQ(sound.info.channels, 2);
  EXPECT_GE(sound.frames(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Assets, EverySound,
                         ::testing::Values("click.wav", "dummy.wav", "sample1.wav"));

class Click : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(click.error.empty()) << click.error; }
  LoadedSound click = load_sound(assets_dir / "click.wav");
};

TEST_F(Click, LastsTwentyToSixtyMilliseconds) {
  EXPECT_GE(click.seconds(), 0.020);
  EXPECT_LE(click.seconds(), 0.060);
}

TEST_F(Click, IsHeardFromItsFirstSample) {
  // A leading zero would delay the click behind the key press it answers.
  EXPECT_NE(click.at(0, 0), 0);
  EXPECT_NE(click.at(0, 1), 0);
  EXPECT_GE(click.peak(0, frames_in_ms(2.0)), 0.25);
}

TEST_F(Click, FadesToExactSilenceWithoutAStep) {
  const std::size_t end = click.frames();
  ASSERT_GT(end, frames_in_ms(10.0));
  EXPECT_EQ(click.peak(end - frames_in_ms(0.5), end), 0.0);
  // Through the fade no sample jumps far from the one before: a step there
  // is heard as a second click.
  int largest_step = 0;
  for (std::size_t f = end - frames_in_ms(8.0); f < end; ++f) {
    for (int c = 0; c < 2; ++c) {
      largest_step = std::max(largest_step, std::abs(click.at(f, c) - click.at(f - 1, c)));
    }
  }
  EXPECT_LT(largest_step, 330) << "about 1% of full scale";
}

TEST_F(Click, HasNoDirectCurrentOffset) {
  EXPECT_NEAR(click.mean(0), 0.0, 1e-3);
  EXPECT_NEAR(click.mean(1), 0.0, 1e-3);
}

TEST_F(Click, StandsFarAboveItsOwnTail) {
  const double peak = click.peak(0, click.frames());
  EXPECT_GE(peak, 0.25);
  EXPECT_LT(peak, 1.0);
  const std::size_t end = click.frames();
  EXPECT_LT(click.rms(end - frames_in_ms(10.0), end), peak / 100.0) << "40 dB below the peak";
}

TEST(Dummy, IsSilentAndAtMostTwoMilliseconds) {
  const LoadedSound dummy = load_sound(assets_dir / "dummy.wav");
  ASSERT_TRUE(dummy.error.empty()) << dummy.error;
  EXPECT_GE(dummy.frames(), 1U);
  EXPECT_LE(dummy.seconds(), 0.002);
  EXPECT_EQ(dummy.peak(0, dummy.frames()), 0.0);
}

class Sample1 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tune.error.empty()) << tune.error; }
  LoadedSound tune = load_sound(assets_dir / "sample1.wav");
};

TEST_F(Sample1, LastsSixToTwelveSeconds) {
  EXPECT_GE(tune.seconds(), 6.0);
  EXPECT_LE(tune.seconds(), 12.0);
}

TEST_F(Sample1, PeaksNearMinusOneDecibelWithoutClipping) {
  const double peak = tune.peak(0, tune.frames());
  EXPECT_LT(peak, 0.95);
  EXPECT_GT(peak, 0.8);
}

TEST_F(Sample1, PlaysThroughTheMiddleOnBothChannels) {
  const std::size_t middle = tune.frames() / 2;
  const std::size_t second = frames_in_ms(1000.0);
  EXPECT_GT(tune.rms(middle - second / 2, middle + second / 2), 0.05);
  std::size_t differing = 0;
  for (std::size_t f = middle - second / 2; f < middle + second / 2; ++f) {
    differing += tune.at(f, 0) != tune.at(f, 1) ? 1 : 0;
  }
  EXPECT_GT(differing, second / 2) << "the band is spread across the stereo field";
}

TEST_F(Sample1, FadesOutAtTheEnd) {
  const std::size_t middle = tune.frames() / 2;
  const std::size_t end = tune.frames();
  const double body = tune.rms(middle - frames_in_ms(500.0), middle + frames_in_ms(500.0));
  EXPECT_LT(tune.rms(end - frames_in_ms(200.0), end), body / 30.0) << "30 dB quieter";
  EXPECT_EQ(tune.at(end - 1, 0), 0);
  EXPECT_EQ(tune.at(end - 1, 1), 0);
}

TEST_F(Sample1, HasNoDirectCurrentOffset) {
  EXPECT_NEAR(tune.mean(0), 0.0, 2e-3);
  EXPECT_NEAR(tune.mean(1), 0.0, 2e-3);
}

}  // namespace
}  // namespace wavorin::test
