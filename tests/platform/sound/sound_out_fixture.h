#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sound/sound_system.h"
#include "tests/platform/sound/heard_sound.h"
#include "tests/platform/sound/test_sounds.h"

namespace wavorin::test {

// The sound service on SDL's disk driver, which writes the device's samples
// to a file in real time: what the file holds is what a listener would have
// heard.
class SoundOutTest : public ::testing::Test {
 protected:
  void SetUp() override { use_device_file(files_.path("device.raw")); }

  void use_device_file(const std::string& file) {
    output_ = file;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    unsetenv("SDL_DISKAUDIODELAY");
  }

  SoundService& sound() {
    if (!sound_) {
      sound_ = start_sound_system();
      sound_->set_reporter([this](const SoundReport& report) {
        const std::lock_guard lock(reports_mutex_);
        reports_.push_back(report);
      });
    }
    return *sound_;
  }

  // The problems reported so far, of one kind.
  std::vector<SoundReport> reports(SoundProblem problem) {
    const std::lock_guard lock(reports_mutex_);
    std::vector<SoundReport> found;
    for (const auto& report : reports_) {
      if (report.problem == problem) found.push_back(report);
    }
    return found;
  }

  // Ends the service, which closes the device and flushes its file.
  std::vector<std::int16_t> heard() {
    sound_.reset();
    std::ifstream in(output_, std::ios::binary | std::ios::ate);
    if (!in) return {};
    const auto size = static_cast<std::size_t>(in.tellg());
    std::vector<std::int16_t> samples(size / sizeof(std::int16_t));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()),
            static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
    return samples;
  }

  // Seconds `request` took.
  template <typename Request>
  static double timed(Request request) {
    const auto start = std::chrono::steady_clock::now();
    request();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  // One device buffer of 1024 frames, seconds.
  static constexpr double kBuffer = 1024.0 / kDeviceRate;

  TestSounds files_;
  std::string output_;
  std::mutex reports_mutex_;
  std::vector<SoundReport> reports_;
  std::unique_ptr<SoundService> sound_;
};

}  // namespace wavorin::test
