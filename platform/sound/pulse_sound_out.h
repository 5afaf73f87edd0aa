#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sound/sample_history.h"
#include "platform/sound/sound_cache.h"
#include "platform/sound_service.h"

struct pa_context;
struct pa_server_info;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

namespace wavorin {

class Playback;

// The sound service as a client of the desktop's sound server (PulseAudio,
// or PipeWire's pulse server), on libpulse's asynchronous API.
//
// Everything below belongs to the main loop's thread and is touched only
// under the main loop's lock: by that thread in its callbacks, or briefly by
// a requesting thread, which never blocks while holding it (a synchronous
// request waits in pa_threaded_mainloop_wait, which lets go of it). Files
// are opened and decoded outside it, and samples come from each sound's own
// feeder thread through a ring.
//
// The connection to the server stays open for the program's life. One
// stream carries every sound: written at once for a click (the server starts
// it with its first samples), with a large buffer once a long sound has
// started, flushed after a short fade when a sound is cut, corked when
// nothing plays, and closed after the grace period.
class PulseSoundOut : public SoundService {
 public:
  struct Options {
    // How long the stream stays, corked, after the last sound ended (or a
    // warm-up): a press within it starts its click without a new stream.
    std::chrono::milliseconds idle_close{500};
  };

  // Connects to the server that libpulse finds (PULSE_SERVER, the session's
  // socket); nothing, with the reason in `error`, when none answers.
  static std::unique_ptr<PulseSoundOut> connect(Options options, std::string& error);

  PulseSoundOut(const PulseSoundOut&) = delete;
  PulseSoundOut& operator=(const PulseSoundOut&) = delete;
  ~PulseSoundOut() override;

  int sndPlaySoundA(const std::string& name, unsigned flags) override;
  // Reports are delivered by the next request or warm-up, outside the lock.
  void set_reporter(SoundReporter reporter) override;
  // Opens the stream, corked, or renews its grace period.
  void warm_up() override;
  std::optional<std::int64_t> length_us(const std::string& name) override;

 private:
  // The connection's and the stream's life as one state.
  enum class Device {
    Disconnected,  // no connection (the server is gone, or refused)
    Connecting,    // the connection is being made
    Closed,        // connected, no stream
    Opening,       // the stream is being made
    Idle,          // the stream is ready and corked
    Playing,       // the stream is uncorked: a sound, or the fade of one, goes on
  };
  // How the last sound to end ended, for a synchronous request waiting on it.
  struct Ended {
    std::uint64_t generation = 0;
    bool heard = false;
  };
  using Reports = std::vector<SoundReport>;

  explicit PulseSoundOut(Options options);

  // The one place the device changes state, doing what the change needs.
  void move_to(Device next);
  // Starts connecting, or opening the stream, where there is none; true
  // once the stream is ready for a sound.
  bool bring_up();
  // Prepares the sound outside the lock: nothing when the file is bad.
  std::unique_ptr<Playback> prepare(const std::string& name, unsigned flags, Reports& reports);
  // Ends the current sound (fade, flush) without waiting for anything;
  // `followed` when a new sound is written right after.
  void stop_current(bool followed = false);
  void end_current(bool heard);
  void write_some();
  // Returns how long until the fade has been heard.
  std::chrono::microseconds fade_and_flush(bool followed);
  void set_long_buffer(bool long_sound);
  // Shows the current sound's file name in the desktop's mixers.
  void name_stream();
  void arm_grace_timer();
  // Calls heard() after `wait`, unless a new sound comes first.
  void arm_heard_timer(std::chrono::microseconds wait);
  void cancel_heard_timer();
  void lose_server(const char* reason);
  // Waits (loop lock held) until `done` or `deadline`.
  template <typename Done>
  bool wait_until(Done done, std::chrono::steady_clock::time_point deadline);
  void deliver();

  static void on_context_state(pa_context* context, void* self);
  static void on_stream_state(pa_stream* stream, void* self);
  static void on_write(pa_stream* stream, std::size_t bytes, void* self);
  static void on_server_info(pa_context* context, const pa_server_info* info, void* self);
  static void on_drained(pa_stream* stream, int success, void* self);
  // The current sound has been heard to its end.
  void heard();

  Options options_;
  std::mutex reporter_mutex_;  // guards reporter_ alone
  SoundReporter reporter_;
  std::mutex cache_mutex_;  // guards cache_ alone, outside the loop lock
  SoundCache cache_;

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* grace_timer_ = nullptr;
  pa_time_event* heard_timer_ = nullptr;  // the current sound's end
  bool rewinds_ = false;                  // the server rewinds its device: PulseAudio, not PipeWire
  Device device_ = Device::Disconnected;
  std::string refused_because_;  // the server's reason, when it went or refused

  std::unique_ptr<Playback> current_;  // the sound the stream plays
  std::string current_name_;
  unsigned current_flags_ = 0;
  std::uint64_t generation_ = 0;  // counts the sounds started
  Ended ended_;
  bool started_ = false;  // the current sound's first samples are written
  std::chrono::steady_clock::time_point started_at_;
  std::uint64_t sound_bytes_ = 0;  // of the current sound, written so far
  bool draining_ = false;          // all of the current sound is written
  bool long_buffer_ = false;
  // Sounds ended by the loop's thread, for a requesting thread to destroy:
  // a Playback's feeder may be waiting for the loop's lock.
  std::vector<std::unique_ptr<Playback>> retired_;
  Reports pending_;
  bool outage_reported_ = false;  // since the server last answered
  bool chosen_ = false;           // the first connection was made

  SampleHistory history_;  // what was written, for a cut's fade
};

}  // namespace wavorin
