#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/sound_module/loaded_sound_service.h"
#include "tests/platform/sound/sound_out_fixture.h"
#include "tests/support/proc_info.h"

namespace wavorin::test {
namespace {

using std::chrono::milliseconds;

int open_descriptors() { return proc::entries(proc::kSelf, "fd"); }

// Resident memory of this process, KiB.
long resident_kib() { return proc::status_kib(proc::kSelf, "VmRSS"); }

void put_le(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}

class BadInputTest : public SoundOutTest {
 protected:
  // A canonical 16-bit stereo file of 0.1 s: a 44-byte header, then data.
  std::vector<std::uint8_t> valid_image() {
    files_.write("valid.wav", noise(4410, 2, 11), 2);
    return files_.read_bytes("valid.wav");
  }

  // Every bad file: refused with 0 at once under SND_NODEFAULT, nothing heard.
  void expect_refused(const std::string& file) {
    SCOPED_TRACE(file);
    int result = -1;
    const double took =
        timed([&] { result = sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT); });
    EXPECT_EQ(result, 0);
    EXPECT_LT(took, 0.5);
  }
};

TEST_F(BadInputTest, UnplayableFilesAreRefusedSilentlyWithoutLeaks) {
  auto image = valid_image();
  const std::vector<std::string> files = [&] {
    std::vector<std::string> made;
    made.push_back(files_.write_bytes("empty.wav", {}));
    made.push_back(files_.write_bytes("text.wav", {'h', 'e', 'l', 'l', 'o', '\n'}));
    made.push_back(files_.write_bytes("header_only.wav", [&] {
      auto header = std::vector<std::uint8_t>(image.begin(), image.begin() + 44);
      put_le(header, 40, 0, 4);
      return header;
    }()));
    made.push_back(files_.write_bytes(
        "cut_header.wav", std::vector<std::uint8_t>(image.begin(), image.begin() + 30)));
    // Absurd fmt fields: channels (offset 22, 16 bits), rate (24) and bits
    // per sample (34).
    const struct {
      const char* name;
      std::size_t at;
      std::uint64_t value;
      int size;
    } patches[] = {
        {"no_channels.wav", 22, 0, 2},
        {"most_channels.wav", 22, 0xFFFF, 2},
        {"zero_hz.wav", 24, 0, 4},
        {"huge_rate.wav", 24, 0x80000000U, 4},
        {"max_rate.wav", 24, 0xFFFFFFFFU, 4},
        {"odd_bits.wav", 34, 77, 2},
    };
    for (const auto& patch : patches) {
      auto bad = image;
      put_le(bad, patch.at, patch.value, patch.size);
      made.push_back(files_.write_bytes(patch.name, bad));
    }
    made.push_back(files_.folder().string());
    made.push_back(files_.path("missing.wav"));
    const std::string fifo = files_.path("fifo.wav");
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    made.push_back(fifo);
    return made;
  }();

  sound();
  const int descriptors = open_descriptors();
  for (const auto& file : files) expect_refused(file);
  EXPECT_EQ(open_descriptors(), descriptors);
  EXPECT_FALSE(audible_span(heard()));
}

TEST_F(BadInputTest, UnreadableFileIsRefused) {
  valid_image();
  const std::string file = files_.path("valid.wav");
  ASSERT_EQ(chmod(file.c_str(), 0), 0);
  if (access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "permissions do not bind this user";
  expect_refused(file);
}

TEST_F(BadInputTest, TruncatedFilePlaysWhatIsThere) {
  auto image = valid_image();
  // Half the data is gone; the header still announces all of it.
  image.resize(44 + (image.size() - 44) / 2);
  const auto present =
      std::vector<std::int16_t>(reinterpret_cast<const std::int16_t*>(image.data() + 44),
                                reinterpret_cast<const std::int16_t*>(image.data() + image.size()));
  const std::string file = files_.write_bytes("truncated.wav", image);
  EXPECT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_TRUE(contains(heard(), present));
}

// Cut while it plays (the file shrinks under the feeder): what was read is
// heard, but a synchronous request says the sound did not play to its end.
TEST_F(BadInputTest, FileCutWhilePlayingFailsASyncRequest) {
  // Longer than what the feeder decodes ahead (two seconds and a block).
  const std::string file = files_.write("long.wav", noise(std::size_t{44100} * 6, 2, 22), 2);
  std::thread cutter([&] {
    std::this_thread::sleep_for(milliseconds(300));
    ASSERT_EQ(truncate(file.c_str(), 44 + 44100 * 4), 0);
  });
  int result = -1;
  const double took =
      timed([&] { result = sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT); });
  cutter.join();
  EXPECT_EQ(result, 0);
  EXPECT_LT(took, 4.5) << "played on past the cut";
  const auto cut = reports(SoundProblem::FileCutShort);
  ASSERT_EQ(cut.size(), 1U);
  EXPECT_EQ(cut[0].name, file);
}

// A date past 2262 does not fit in 64 bits of nanoseconds.
TEST_F(BadInputTest, FileDatedFarInTheFuturePlays) {
  const auto samples = noise(4410, 2, 23);
  const std::string file = files_.write("future.wav", samples, 2);
  const timespec year_9999[2] = {{253402300799, 0}, {253402300799, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), year_9999, 0), 0);
  EXPECT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_EQ(sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_TRUE(contains(heard(), samples));
}

// One frame of a 1 Hz file is a second at the device's rate: it is
// converted piece by piece, so the request returns at once and memory stays
// small, where converting a block of the file at once took a second and
// hundreds of MB.
TEST_F(BadInputTest, VeryLowRateFilePlaysPromptlyInLittleMemory) {
  const std::string file = files_.write("slow.wav", noise(4096, 2, 24), 2, 1);
  const long before = resident_kib();
  int result = -1;
  const double took =
      timed([&] { result = sound().sndPlaySoundA(file, SND_ASYNC | SND_NODEFAULT); });
  std::this_thread::sleep_for(milliseconds(300));
  const long during = resident_kib();
  EXPECT_EQ(result, 1);
  EXPECT_LT(took, 0.3);
  EXPECT_LT(during - before, 32 * 1024) << "KiB more while it plays";
  EXPECT_EQ(sound().sndPlaySoundA("", SND_NODEFAULT), 1);
}

TEST_F(BadInputTest, WithoutNoDefaultABadNameStillCountsAsDone) {
  const std::string file = files_.write_bytes("text.wav", {'n', 'o'});
  int result = 0;
  const double took = timed([&] { result = sound().sndPlaySoundA(file, SND_NOSTOP); });
  EXPECT_EQ(result, 1);
  EXPECT_LT(took, 0.5);
  EXPECT_EQ(sound().sndPlaySoundA(files_.path("missing.wav"), SND_NOSTOP), 1);
  EXPECT_EQ(sound().sndPlaySoundA(files_.path("missing.wav"), SND_NODEFAULT), 0);
  EXPECT_FALSE(audible_span(heard()));
}

TEST_F(BadInputTest, ReasonIsReportedOnceOnStandardErrorAndToTheReporter) {
  const std::string file = files_.write_bytes("text.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w'});
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(sound().sndPlaySoundA(file, SND_ASYNC | SND_NODEFAULT), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  SF_INFO info{};
  ASSERT_EQ(sf_open(file.c_str(), SFM_READ, &info), nullptr);
  const std::string reason = sf_strerror(nullptr);
  EXPECT_NE(said.find(file), std::string::npos) << said;
  EXPECT_NE(said.find(reason), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
  sound().sndPlaySoundA(files_.path("missing.wav"), SND_NOSTOP);
  const auto unplayable = reports(SoundProblem::FileUnplayable);
  ASSERT_EQ(unplayable.size(), 2U);
  EXPECT_EQ(unplayable[0].name, file);
  EXPECT_EQ(unplayable[0].flags, SND_ASYNC | SND_NODEFAULT);
  EXPECT_EQ(unplayable[0].reason, reason);
  EXPECT_EQ(unplayable[1].flags, SND_NOSTOP);
  EXPECT_EQ(unplayable[1].reason, std::strerror(ENOENT));
  EXPECT_TRUE(reports(SoundProblem::NoDevice).empty());
}

// The disk driver cannot write to /dev/full: each device is lost at once.
// A synchronous click is not heard, so it returns 0; the probe still goes
// on; Play returns before the loss is known. The outage is told once, as a
// device that stopped under the tune or, when it failed on the silence it
// wrote before the tune's first samples, as no device.
TEST_F(BadInputTest, LostDeviceIsReportedNeitherHangsNorCrashes) {
  const std::string file = files_.write("long.wav", noise(44100, 2, 12), 2);
  use_device_file("/dev/full");
  // SND_NOSTOP follows a synchronous request, which returns only once the
  // loss was noticed: nothing is playing then.
  const struct {
    unsigned flags;
    int result;
  } requests[] = {{SND_ASYNC | SND_NODEFAULT, 1},
                  {SND_SYNC | SND_NODEFAULT, 0},
                  {SND_NOSTOP, 1},
                  {SND_ASYNC, 1}};
  for (const auto& request : requests) {
    int result = -1;
    const double took = timed([&] { result = sound().sndPlaySoundA(file, request.flags); });
    EXPECT_EQ(result, request.result) << request.flags;
    EXPECT_LT(took, 1.0 + 2.5) << request.flags;
  }
  EXPECT_EQ(sound().sndPlaySoundA("", SND_NODEFAULT), 1);
  EXPECT_EQ(reports(SoundProblem::DeviceFailed).size() + reports(SoundProblem::NoDevice).size(),
            1U);
}

// No device can be opened through the chosen driver: the others are tried
// and, at last, the silent one that keeps time.
TEST_F(BadInputTest, UnusableDriverFallsBackAndKeepsTime) {
  const std::string file = files_.write("short.wav", noise(44100 / 5, 2, 13), 2);
  use_device_file(files_.path("no/such/folder/device.raw"));
  ::testing::internal::CaptureStderr();
  int result = 0;
  const double took = timed([&] { result = sound().sndPlaySoundA(file, SND_SYNC); });
  // Silence is not a sound heard: a click or Play says so.
  int click = -1;
  const double click_took =
      timed([&] { click = sound().sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT); });
  EXPECT_EQ(click, 0);
  EXPECT_GE(click_took, 0.2 - 0.01);
  const auto no_device = reports(SoundProblem::NoDevice);
  ASSERT_EQ(no_device.size(), 1U);
  EXPECT_FALSE(no_device[0].reason.empty());
  sound_.reset();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 1);
  EXPECT_GE(took, 0.2 - 0.01);
  std::size_t ours = 0;
  for (std::size_t at = said.find("wavorin: no sound device"); at != std::string::npos;
       at = said.find("wavorin: no sound device", at + 1)) {
    ++ours;
  }
  EXPECT_EQ(ours, 1U) << said;
}

// The program loads the service from its module when it is first needed.
TEST_F(BadInputTest, ModuleServesAsTheServiceAndWithoutItSoundFailsAsWithNoDevice) {
  const std::string file = files_.write("short.wav", noise(4410, 2, 14), 2);
  {
    LoadedSoundService loaded(WAVORIN_SOUND_MODULE);
    loaded.warm_up();
    EXPECT_EQ(loaded.length_us(file), 100000);
    EXPECT_EQ(loaded.sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 1);
  }
  EXPECT_TRUE(audible_span(heard()));

  const std::string module = files_.path("no-such-module.so");
  std::vector<SoundReport> reported;
  LoadedSoundService missing(module);
  missing.set_reporter([&](const SoundReport& report) { reported.push_back(report); });
  ::testing::internal::CaptureStderr();
  missing.warm_up();
  EXPECT_EQ(missing.sndPlaySoundA(file, SND_SYNC | SND_NODEFAULT), 0);
  EXPECT_EQ(missing.sndPlaySoundA(file, SND_ASYNC), 1);
  EXPECT_EQ(missing.sndPlaySoundA("", SND_NODEFAULT), 1);
  // A file's length needs no module.
  EXPECT_EQ(missing.length_us(file), 100000);
  EXPECT_EQ(missing.length_us(files_.path("missing.wav")), std::nullopt);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(module), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
  ASSERT_EQ(reported.size(), 1U);
  EXPECT_EQ(reported[0].problem, SoundProblem::NoDevice);
}

}  // namespace
}  // namespace wavorin::test
