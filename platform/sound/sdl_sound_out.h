#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound_out.h"
#include "platform/sound_problem.h"

namespace wavorin {

class AudioDevice;
class AudioDriver;
class Playback;

// The sound service on SDL2 and libsndfile. Construct it and call it from one
// thread (the GUI thread); samples are decoded on a feeder thread and played
// from SDL's audio thread. The device is open only while a sound plays and
// for a grace period after, so an idle program has no audio thread.
class SdlSoundOut : public SoundOut {
 public:
  struct Options {
    // How long the device stays open after the last sound ended.
    std::chrono::milliseconds idle_close{3000};
  };

  SdlSoundOut();
  explicit SdlSoundOut(Options options);
  SdlSoundOut(const SdlSoundOut&) = delete;
  SdlSoundOut& operator=(const SdlSoundOut&) = delete;
  ~SdlSoundOut() override;

  int sndPlaySoundA(const std::string& name, unsigned flags) override;

  // Told of every problem a person should hear about, besides the line on
  // standard error; called with the service's lock held, from the calling
  // thread or the closer thread, so it must only hand the report on.
  void set_reporter(SoundReporter reporter);

 private:
  using Clock = std::chrono::steady_clock;

  int play(const std::string& name, unsigned flags);
  void report(const SoundReport& report) const;
  // Once per device: a device lost while a sound played.
  void report_device_failed();
  // Ends the current sound with a short fade and detaches it.
  void end_current();
  void close_device();
  // The closer thread: closes the device once idle for the grace period.
  void close_when_idle();

  Options options_;
  std::unique_ptr<AudioDriver> driver_;

  std::mutex mutex_;  // guards everything below against the closer thread
  std::condition_variable wake_closer_;
  std::unique_ptr<AudioDevice> device_;
  std::unique_ptr<Playback> playback_;
  Clock::time_point idle_since_;
  bool idle_ = true;
  bool quitting_ = false;
  SoundReporter reporter_;
  bool no_device_reported_ = false;
  bool device_failure_reported_ = false;  // for the open device
  std::thread closer_;
};

}  // namespace wavorin
