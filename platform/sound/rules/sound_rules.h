#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sound/decoding/sound_loader.h"
#include "platform/sound/rules/report_book.h"
#include "platform/sound/rules/rule_clock.h"
#include "platform/sound/rules/sound_stream.h"
#include "platform/sound/sound_output.h"
#include "platform/sound_service.h"

namespace wavorin {

// The sound service's rules, once, over whichever output was chosen: the
// flags and their results, one sound at a time, the fade on a cut, the cork
// once it is heard, the grace period before the stream closes, the end of a
// sound judged by what the output says it has played, and the reports.
//
// Requests come from any thread. One lock guards the state; it is never
// held over blocking work: files are opened and decoded before it is taken,
// the output's calls return at once by its contract, and a synchronous
// request waits on a condition, letting it go. Time is kept by a thread of
// its own (or, in the tests, by a virtual clock that runs keep_time()).
class SoundRules : public SoundService, private OutputListener {
 public:
  using OutputFactory = std::function<std::unique_ptr<SoundOutput>(OutputListener&)>;

  // `clock` outlives the rules.
  SoundRules(const OutputFactory& make_output, RuleClock& clock);
  SoundRules(const SoundRules&) = delete;
  SoundRules& operator=(const SoundRules&) = delete;
  ~SoundRules() override;

  int sndPlaySoundA(const std::string& name, unsigned flags) override;
  // Reports are handed out at the end of a request, outside the lock.
  void set_reporter(SoundReporter reporter) override;
  // Opens the stream, corked, or renews its grace period.
  void warm_up() override;
  std::optional<std::int64_t> length_us(const std::string& name) override;

  // For the virtual clock: does what has fallen due.
  void keep_time_now();

 private:
  using Time = RuleClock::Time;
  // The stream's life, changed only by move_to().
  enum class Device {
    Closed,   // no stream
    Idle,     // open and corked, until the grace period ends
    Playing,  // uncorked, a sound plays
    Fading,   // uncorked: a cut's fade, a sound's end or a late sound plays out
  };
  enum class Outcome { Heard, Cut, Failed };
  struct Current {
    std::shared_ptr<Playback> sound;
    std::string name;
    unsigned flags = 0;
    std::uint64_t generation = 0;
    Time asked;
    Time length_end;              // asked + its length
    std::uint64_t played_at = 0;  // the output's count when it started
    bool silent = false;          // no stream: it keeps time in silence
    bool drained = false;
    bool held = false;  // waits behind a sound played late
  };
  struct Ended {
    std::uint64_t generation = 0;
    Outcome outcome = Outcome::Heard;
  };

  void on_output_event(OutputEvent event, const std::string& reason) override;
  void move_to(Device next);
  bool open_stream();
  void start(std::shared_ptr<Playback> sound, const std::string& name, unsigned flags, Time asked);
  // Asks the output to play out what it holds; Drained tells when it has.
  void drain();
  // Hands the current sound to the output.
  void stream_current();
  // Ends the current sound before its end: a fade, then the cork.
  void cut();
  void end_current(Outcome outcome);
  // Events, ends, corks and closes that have fallen due (lock held).
  void keep_time();
  void handle(OutputEvent event, const std::string& reason);
  Time deadline(const Current& current) const;
  // The current sound's deadline passed; `end`: its last frame, once pulled.
  void give_up_waiting(std::optional<std::uint64_t> end);
  Time next_due() const;
  void run_keeper();
  void hand_out(std::unique_lock<std::mutex>& lock);

  RuleClock& clock_;
  SoundLoader loader_;
  SoundStream stream_;  // outlives output_, which pulls from it
  std::unique_ptr<SoundOutput> output_;

  std::mutex reporter_mutex_;  // guards reporter_ alone
  SoundReporter reporter_;

  std::mutex events_mutex_;  // guards events_ alone: the output's thread tells through it
  std::vector<std::pair<OutputEvent, std::string>> events_;
  std::atomic<bool> events_waiting_{false};

  std::mutex mutex_;  // guards everything below
  std::condition_variable changed_;
  Device device_ = Device::Closed;
  std::optional<Current> current_;
  std::uint64_t generation_ = 0;
  Ended ended_;
  std::uint64_t fade_end_ = 0;  // stream position where a cut's fade ends
  Time cork_at_{};
  Time close_at_{};
  ReportBook reports_;
  // Sounds done with, destroyed outside the lock (their feeders are joined).
  std::vector<std::shared_ptr<Playback>> retired_;
  bool quitting_ = false;
  // Fading stands for a sound handed over whole that the server plays late.
  bool late_ = false;
  bool drained_ = false;           // Drained came since the last drain()
  bool drain_after_fade_ = false;  // drain() once the output has taken a cut's fade
  std::thread keeper_;
};

}  // namespace wavorin
