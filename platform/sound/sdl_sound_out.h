#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/sound_cache.h"
#include "platform/sound_service.h"

struct SDL_Thread;

namespace wavorin {

class AudioDevice;
class AudioDriver;
class Playback;

// The sound service on SDL2 and libsndfile. Requests may come from any
// thread and are served one at a time; samples are decoded on a feeder thread
// and played from SDL's audio thread. SDL's audio subsystem starts with the first
// request (or warm_up()), so it costs the program's start nothing. The
// device is open only while a sound plays and for a grace period after it
// (or after warm_up()), parked meanwhile, so an idle program has no audio
// thread.
class SdlSoundOut : public SoundService {
 public:
  struct Options {
    // How long the device stays open after the last sound ended: long
    // enough for the sounds that follow one another (Play's click and tune,
    // the probe after a tune), short because an open stream keeps the sound
    // server working. A press opens the device again for its click.
    std::chrono::milliseconds idle_close{500};
  };

  SdlSoundOut();
  explicit SdlSoundOut(Options options);
  SdlSoundOut(const SdlSoundOut&) = delete;
  SdlSoundOut& operator=(const SdlSoundOut&) = delete;
  ~SdlSoundOut() override;

  // A click or Play whose sound never reached a device returns 0 (SND_NODEFAULT
  // asks for that); a request without SND_NODEFAULT, like the probe, returns
  // non-zero once it has done what it could.
  int sndPlaySoundA(const std::string& name, unsigned flags) override;

  // Reports are never delivered while the service is locked.
  void set_reporter(SoundReporter reporter) override;

  // Starts SDL's audio subsystem on the closer thread and opens the device,
  // parked, for the grace period.
  void warm_up() override;

  std::optional<std::int64_t> length_us(const std::string& name) override;

 private:
  using Clock = std::chrono::steady_clock;
  using Reports = std::vector<SoundReport>;
  // The device's life: opened by a request or a warm-up, closed by the
  // closer thread after the grace period (or when lost), never touched by
  // a request while it closes.
  enum class DeviceState {
    Closed,   // no device
    Idle,     // open and parked, for the grace period since idle_since_
    Playing,  // open, a sound attached
    Closing,  // being closed by the closer, without the lock
  };

  // Waits for a synchronous sound with `lock` released.
  int play(const std::string& name, unsigned flags, Reports& reports,
           std::unique_lock<std::mutex>& lock);
  bool ensure_device(Reports& reports);
  // Ends the current sound with a short fade and detaches it.
  void end_current();
  // Reports a device that stopped while it had a sound, once per device.
  void note_failure(Reports& reports);
  // The one place the state changes (with the lock held).
  void move_to(DeviceState next);
  void close_device();
  // Closes the device without holding the lock: closing can wait for the
  // sound server.
  void close_device_unlocked(std::unique_lock<std::mutex>& lock);
  void deliver(Reports& reports);
  // The closer thread: closes the device once idle for the grace period.
  void close_when_idle();

  Options options_;
  SoundReporter reporter_;

  std::mutex mutex_;  // guards everything below against the closer thread
  std::condition_variable wake_closer_;
  std::condition_variable closed_;  // a close in progress has finished
  std::shared_ptr<AudioDriver> driver_;
  // Shared with a synchronous request that waits for its sound unlocked.
  std::shared_ptr<AudioDevice> device_;
  std::shared_ptr<Playback> playback_;
  SoundCache cache_;
  Clock::time_point idle_since_;  // when the device last became idle
  DeviceState state_ = DeviceState::Closed;
  bool warm_up_ = false;
  bool quitting_ = false;
  bool silent_ = false;         // the device is the silent stand-in
  bool lost_ = false;           // the device stopped by itself
  bool fallback_told_ = false;  // a driver's fallback was told on standard error
  bool no_device_reported_ = false;
  bool failure_reported_ = false;  // for the current device
  SDL_Thread* closer_ = nullptr;
};

}  // namespace wavorin
