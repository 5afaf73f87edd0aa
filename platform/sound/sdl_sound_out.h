#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
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
// and played from SDL's audio thread. The device has a thread of its own,
// which alone starts SDL's audio subsystem, opens and closes the device: a
// request asks it for a device and waits, without the lock, for nothing but
// that, the short fade of the sound it ends, and its own sound: the first
// buffers taken (asynchronous) or the whole sound heard (synchronous).
// SDL's audio subsystem starts with the first request (or warm_up()), so it
// costs the program's start nothing. The device is open only while a sound
// plays and for a grace period after it (or after warm_up()), parked
// meanwhile, so an idle program has no audio thread.
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

  // Starts SDL's audio subsystem on the device thread and opens the device,
  // parked, for the grace period.
  void warm_up() override;

  std::optional<std::int64_t> length_us(const std::string& name) override;

 private:
  using Clock = std::chrono::steady_clock;
  using Reports = std::vector<SoundReport>;
  // The device's life, changed only by the device thread: opened when a
  // request or a warm-up asks for it, closed after the grace period (or
  // when lost), each without the lock.
  enum class DeviceState {
    Closed,   // no device
    Opening,  // being opened
    Idle,     // open and parked, for the grace period since idle_since_
    Playing,  // open, a sound attached
    Closing,  // being closed
  };
  // What a synchronous request waits for once its sound is attached.
  struct SyncWait;

  // Plays `name`: a result, or the sound that a synchronous request waits
  // for. Called while serving a request, without the lock.
  int play(const std::string& name, unsigned flags, Reports& reports,
           std::optional<SyncWait>& sync);
  // An open, running device for the request being served, asked of the
  // device thread if need be; nothing when none could be opened.
  std::shared_ptr<AudioDevice> acquire_device(std::unique_lock<std::mutex>& lock);
  // Ends the current sound with a short fade, waited for without the lock.
  void end_current(std::unique_lock<std::mutex>& lock);
  // Reports a device that stopped while it had a sound, once per device.
  void note_failure(Reports& reports);
  void deliver(Reports& reports);
  // A device or driver reference that a request is done with: dropped on
  // the device thread, so that SDL never closes on two threads at once.
  void let_go(std::shared_ptr<void> reference);

  // The device thread's own.
  void run_device();
  // The one place the state changes (with the lock held).
  void move_to(DeviceState next);
  void open_device(std::unique_lock<std::mutex>& lock);
  // Closes the device without holding the lock: closing can wait for the
  // sound server.
  void close_device_unlocked(std::unique_lock<std::mutex>& lock);
  void release_let_go();
  void close_device();

  Options options_;
  SoundReporter reporter_;

  std::mutex serving_;  // one request at a time, never while one waits for its sound
  SoundCache cache_;    // the requests' own, under serving_

  std::mutex mutex_;  // guards everything below against the device thread
  std::condition_variable wake_device_;
  std::condition_variable device_changed_;  // the state changed
  std::shared_ptr<AudioDriver> driver_;
  std::shared_ptr<AudioDevice> device_;
  std::shared_ptr<Playback> playback_;
  Clock::time_point idle_since_;  // when the device last became idle
  DeviceState state_ = DeviceState::Closed;
  int holders_ = 0;        // requests using the device: it stays open
  int open_attempts_ = 0;  // opens tried so far
  bool want_device_ = false;
  bool warm_up_ = false;
  bool quitting_ = false;
  bool silent_ = false;         // the device is the silent stand-in
  bool lost_ = false;           // the device stopped by itself
  bool fallback_told_ = false;  // a driver's fallback was told on standard error
  bool no_device_reported_ = false;
  bool failure_reported_ = false;  // for the current device

  std::mutex let_go_mutex_;  // taken after mutex_ when both are
  std::vector<std::shared_ptr<void>> let_go_;
  SDL_Thread* device_thread_ = nullptr;
};

}  // namespace wavorin
