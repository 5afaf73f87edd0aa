#include <gtest/gtest.h>

#include <random>

#include "tests/platform/sound/fuzz_decode.h"
#include "tests/platform/sound/test_sounds.h"

namespace wavorin::test {
namespace {

struct Seed {
  std::vector<std::uint8_t> image;
  double seconds;  // as the header announces it, whole codec blocks included
};

// Small valid files of the encodings whose decoders parse the most header.
std::vector<Seed> seeds(TestSounds& files) {
  const struct {
    int format;
    int rate;
    int channels;
  } kinds[] = {
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, 1},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 2},
      {SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1},
      {SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 11025, 2},
      {SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 22050, 1},
      {SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1},
      {SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 48000, 6},
      {SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 16000, 1},
  };
  std::vector<Seed> made;
  int n = 0;
  for (const auto& kind : kinds) {
    const std::string name = "seed" + std::to_string(n++) + ".wav";
    const std::string path = files.write(name, sine(0.05, kind.rate, kind.channels, 440.0, 0.5F),
                                         kind.channels, kind.rate, kind.format);
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    sf_close(file);
    made.push_back({files.read_bytes(name), static_cast<double>(info.frames) / kind.rate});
  }
  return made;
}

std::vector<std::uint8_t> mutate(const std::vector<std::uint8_t>& image, std::mt19937& random) {
  std::vector<std::uint8_t> out = image;
  const std::size_t header = std::min<std::size_t>(out.size(), 160);
  auto pick = [&](std::size_t below) {
    return std::uniform_int_distribution<std::size_t>(0, below - 1)(random);
  };
  switch (pick(4)) {
    case 0:  // a few flipped bytes in the header
      for (std::size_t i = 0, n = 1 + pick(4); i < n; ++i) out[pick(header)] ^= 1U << pick(8);
      break;
    case 1: {  // an extreme value in a header field
      constexpr std::uint32_t extremes[] = {0, 1, 0xFFFF, 0x7FFFFFFF, 0x80000000U, 0xFFFFFFFFU};
      const std::uint32_t value = extremes[pick(std::size(extremes))];
      const std::size_t at = pick(header / 2) * 2;
      const std::size_t width = (at % 4 == 0 && at + 4 <= out.size()) ? 4 : 2;
      for (std::size_t i = 0; i < width && at + i < out.size(); ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
      }
      break;
    }
    case 2:  // cut anywhere
      out.resize(pick(out.size()));
      break;
    default:  // a run of random bytes somewhere
      for (std::size_t i = pick(out.size()), n = 1 + pick(64); n > 0 && i < out.size(); ++i, --n) {
        out[i] = static_cast<std::uint8_t>(random());
      }
      break;
  }
  return out;
}

TEST(SoundFuzzSmoke, SeedsDecodeToTheirFullLength) {
  TestSounds files;
  for (const Seed& seed : seeds(files)) {
    const double expected = seed.seconds * 44100 * 4;
    EXPECT_NEAR(static_cast<double>(decode_image(seed.image.data(), seed.image.size())), expected,
                expected * 0.01);
  }
}

// Thousands of damaged headers through the player's open-and-decode path:
// none may crash, hang or run past the limit, and enough of them still
// decode that the decoders themselves are exercised.
TEST(SoundFuzzSmoke, DamagedFilesAreRefusedOrDecodedSafely) {
  TestSounds files;
  const std::vector<Seed> all = seeds(files);
  std::mt19937 random(20261207);
  int decoded = 0;
  int refused = 0;
  constexpr int kMutants = 3000;
  for (int i = 0; i < kMutants; ++i) {
    const auto image = mutate(all[static_cast<std::size_t>(i) % all.size()].image, random);
    const std::size_t bytes = decode_image(image.data(), image.size());
    ASSERT_LE(bytes, kDecodeLimit + kBlockBytes) << "mutant " << i;
    ++(bytes > 0 ? decoded : refused);
  }
  EXPECT_GT(decoded, kMutants / 5);
  EXPECT_GT(refused, kMutants / 20);
}

}  // namespace
}  // namespace wavorin::test
