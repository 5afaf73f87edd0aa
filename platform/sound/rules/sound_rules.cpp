#include "platform/sound/rules/sound_rules.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/sound/facts/wave_facts.h"
#include "platform/sound/rules/rule_numbers.h"
#include "platform/sound_out.h"

namespace wavorin {
namespace {

using namespace rules;
using Clock = std::chrono::steady_clock;

constexpr DeviceFormat kDecodeFormat{AUDIO_S16SYS, kFormat.rate, kFormat.channels, 1024, 0};

std::string base_name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A late sound's last frame, until the output has pulled it.
constexpr std::uint64_t kEndUnknown = UINT64_MAX;

Clock::duration seconds(double s) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

}  // namespace

SoundRules::SoundRules(const OutputFactory& make_output, RuleClock& clock)
    : clock_(clock), loader_(kDecodeFormat), output_(make_output(*this)) {
  if (clock_.real()) {
    keeper_ = std::thread([this] { run_keeper(); });
  } else {
    clock_.set_keeper([this] { keep_time_now(); });
  }
}

SoundRules::~SoundRules() {
  {
    const std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  changed_.notify_all();
  if (keeper_.joinable()) keeper_.join();
  if (!clock_.real()) clock_.set_keeper(nullptr);
  std::vector<std::shared_ptr<Playback>> retired;
  {
    const std::lock_guard lock(mutex_);
    if (current_) end_current(Outcome::Cut);
    stream_.play(nullptr);
    move_to(Device::Closed);
    retired.swap(retired_);
  }
  retired.clear();
  output_.reset();
}

void SoundRules::set_reporter(SoundReporter reporter) {
  const std::lock_guard lock(reporter_mutex_);
  reporter_ = std::move(reporter);
}

std::optional<std::int64_t> SoundRules::length_us(const std::string& name) {
  const std::optional<WaveFacts> facts = WaveFacts::read(name);
  if (!facts) return std::nullopt;
  return facts->length_us();
}

void SoundRules::warm_up() {
  const std::lock_guard lock(mutex_);
  keep_time();
  // Reports wait for a request: an outage that a warm-up meets may be over
  // by the time the press's own sound is asked for.
  if (device_ == Device::Closed || device_ == Device::Idle) move_to(Device::Idle);
}

void SoundRules::keep_time_now() {
  std::vector<std::shared_ptr<Playback>> retired;
  {
    const std::lock_guard lock(mutex_);
    keep_time();
    retired.swap(retired_);
  }
}

int SoundRules::sndPlaySoundA(const std::string& name, unsigned flags) {
  const Time asked = clock_.now();
  // There is no default sound: a bad name without SND_NODEFAULT plays
  // nothing and still counts as done.
  const int failed = (flags & SND_NODEFAULT) != 0 ? 0 : 1;
  {
    const std::lock_guard lock(mutex_);
    keep_time();
    if ((flags & SND_NOSTOP) != 0 && current_) return 0;
  }
  std::optional<SoundReport> problem;
  std::shared_ptr<Playback> sound;
  if (!name.empty())
    sound = loader_.load(
        name, [this] { output_->wake(); }, problem);

  std::unique_lock lock(mutex_);
  keep_time();
  if ((flags & SND_NOSTOP) != 0 && current_) {
    // Another thread's sound started meanwhile.
    retired_.push_back(std::move(sound));
    hand_out(lock);
    return 0;
  }
  cut();
  if (problem) {
    problem->flags = flags;
    reports_.file_problem(*problem);
  }
  int result = name.empty() ? 1 : failed;
  if (sound) {
    start(std::move(sound), name, flags, asked);
    const std::uint64_t generation = generation_;
    if ((flags & SND_ASYNC) != 0) {
      result = current_ && current_->silent ? failed : 1;
    } else {
      while (ended_.generation < generation) {
        clock_.wait(lock, changed_, next_due());
        keep_time();
      }
      result = ended_.generation == generation && ended_.outcome == Outcome::Failed ? failed : 1;
    }
  }
  hand_out(lock);
  return result;
}

void SoundRules::hand_out(std::unique_lock<std::mutex>& lock) {
  std::vector<SoundReport> reports = reports_.take();
  std::vector<std::shared_ptr<Playback>> retired = std::move(retired_);
  retired_.clear();
  lock.unlock();
  retired.clear();
  if (reports.empty()) return;
  SoundReporter reporter;
  {
    const std::lock_guard guard(reporter_mutex_);
    reporter = reporter_;
  }
  if (!reporter) return;
  for (const SoundReport& report : reports) reporter(report);
}

void SoundRules::on_output_event(OutputEvent event, const std::string& reason) {
  {
    const std::lock_guard lock(events_mutex_);
    events_.emplace_back(event, reason);
  }
  events_waiting_.store(true, std::memory_order_release);
  changed_.notify_all();
}

void SoundRules::move_to(Device next) {
  const Time now = clock_.now();
  const Device before = device_;
  switch (next) {
    case Device::Closed:
      if (before != Device::Closed) output_->close();
      break;
    case Device::Idle:
      if (before == Device::Closed && !open_stream()) next = Device::Closed;
      if (before == Device::Playing || before == Device::Fading) output_->set_corked(true);
      close_at_ = now + kGrace;
      break;
    case Device::Playing:
      if (before == Device::Closed && !open_stream()) {
        next = Device::Closed;
        break;
      }
      if (before == Device::Closed || before == Device::Idle) output_->set_corked(false);
      drain_after_fade_ = false;
      break;
    case Device::Fading:
      cork_at_ = now + kCorkWait;
      break;
  }
  device_ = next;
  changed_.notify_all();
}

bool SoundRules::open_stream() {
  stream_.restart();
  const std::string media = current_ ? base_name(current_->name) : "";
  if (output_->open(kFormat, stream_, media)) return true;
  reports_.outage(false, output_->why());
  return false;
}

void SoundRules::start(std::shared_ptr<Playback> sound, const std::string& name, unsigned flags,
                       Time asked) {
  const double length = sound->duration_seconds();
  current_ = Current{std::move(sound), name, flags, ++generation_, asked, asked + seconds(length)};
  if (late_ && (flags & SND_ASYNC) != 0) {
    // Behind a sound the server plays late, this one starts once that has
    // been heard: its own time runs from then.
    current_->held = true;
    current_->length_end = cork_at_ + seconds(length);
    return;
  }
  stream_current();
}

void SoundRules::stream_current() {
  current_->held = false;
  late_ = false;
  const Clock::duration length = seconds(current_->sound->duration_seconds());
  stream_.play(current_->sound);
  move_to(Device::Playing);
  if (device_ != Device::Playing) {
    current_->silent = true;
    return;
  }
  current_->played_at = output_->played();
  output_->set_media_name(base_name(current_->name));
  output_->set_latency(length > kLongSound ? SoundOutput::Latency::High
                                           : SoundOutput::Latency::Low);
  output_->wake();
}

void SoundRules::cut() {
  if (!current_) return;
  const bool streamed = !current_->silent && device_ == Device::Playing;
  end_current(Outcome::Cut);
  if (!streamed) {
    stream_.play(nullptr);
    return;
  }
  fade_end_ = stream_.cut(output_->flush());
  output_->wake();
  // The drain is asked for once the output has taken the fade: a server
  // asked while it holds nothing (PipeWire's pulse server, just flushed)
  // says at once that it has played everything out, and the fade would be
  // corked before it was heard.
  drained_ = false;
  drain_after_fade_ = true;
  move_to(Device::Fading);
}

void SoundRules::end_current(Outcome outcome) {
  if (outcome == Outcome::Heard && current_->sound->cut_short()) {
    reports_.file_problem(SoundReport{SoundProblem::FileCutShort, current_->name, current_->flags,
                                      "the file ends before its announced length"});
    outcome = Outcome::Failed;
  }
  if (current_->silent) outcome = Outcome::Failed;
  ended_ = Ended{current_->generation, outcome};
  retired_.push_back(std::move(current_->sound));
  current_.reset();
  changed_.notify_all();
}

void SoundRules::give_up_waiting(std::optional<std::uint64_t> end) {
  const bool waited = (current_->flags & SND_ASYNC) == 0;
  if (!waited || current_->silent || device_ != Device::Playing) {
    cut();
    ended_.outcome = Outcome::Failed;
    return;
  }
  // The server plays the sound late, or has not yet taken all of it: its
  // device had run far ahead, with silence, when the stream started and
  // cannot take that back, or it is slow to wake. The window is let go and
  // the sound plays out, not cut; what follows waits behind it. A server
  // that plays nothing at all is corked when the overrun has passed.
  end_current(end ? Outcome::Heard : Outcome::Failed);
  fade_end_ = end.value_or(kEndUnknown);
  move_to(Device::Fading);
  cork_at_ = clock_.now() + kAsyncOverrun;
  late_ = true;
}

void SoundRules::drain() {
  drain_after_fade_ = false;
  drained_ = false;
  output_->drain();
}

SoundRules::Time SoundRules::deadline(const Current& current) const {
  // A server that plays the sound is let finish it (a fresh stream on a
  // device that runs far ahead is heard late); one that plays nothing
  // (stopped, suspended), whatever it was handed, holds no synchronous
  // request past its length.
  const bool taking = output_->played() > current.played_at;
  const bool waited = (current.flags & SND_ASYNC) == 0 && !taking;
  return current.length_end + (waited ? Clock::duration(kSyncOverrun) : kAsyncOverrun);
}

void SoundRules::keep_time() {
  if (events_waiting_.exchange(false, std::memory_order_acquire)) {
    std::vector<std::pair<OutputEvent, std::string>> events;
    {
      const std::lock_guard lock(events_mutex_);
      events.swap(events_);
    }
    for (const auto& [event, reason] : events) handle(event, reason);
  }
  const Time now = clock_.now();
  if (current_ && current_->silent) {
    if (now >= current_->length_end) end_current(Outcome::Failed);
  } else if (current_ && !current_->held) {
    const std::optional<std::uint64_t> end = stream_.end();
    if (end && !current_->drained) {
      current_->drained = true;
      drain();
    }
    if (end && output_->played() >= *end) {
      end_current(Outcome::Heard);
      // Corked once the server has played out what it holds too.
      fade_end_ = *end;
      move_to(Device::Fading);
    } else if (now >= deadline(*current_)) {
      give_up_waiting(end);
    }
  }
  if (late_ && fade_end_ == kEndUnknown) {
    if (const std::optional<std::uint64_t> end = stream_.end()) {
      fade_end_ = *end;
      drain();
    }
  }
  if (device_ == Device::Fading && drain_after_fade_ && stream_.pulled() >= fade_end_) drain();
  // A count of what was played that runs ahead of the device must not cork
  // what it still holds: the server's word that it has played everything
  // out is waited for, or the cork wait.
  const bool played_out = drained_ && output_->played() >= fade_end_;
  if (device_ == Device::Fading && (played_out || now >= cork_at_)) {
    late_ = false;
    if (current_ && current_->held) {
      current_->length_end = now + seconds(current_->sound->duration_seconds());
      stream_current();
    } else {
      move_to(Device::Idle);
    }
  }
  if (device_ == Device::Idle && now >= close_at_) move_to(Device::Closed);
}

void SoundRules::handle(OutputEvent event, const std::string& reason) {
  switch (event) {
    case OutputEvent::Lost:
      if (device_ == Device::Closed && !current_) {
        reports_.outage(false, reason);
        return;
      }
      if (current_ && !current_->silent && stream_.taken()) {
        reports_.outage(true, reason);
        end_current(Outcome::Failed);
      } else {
        reports_.outage(false, reason);
        // Never heard: it keeps its time in silence, as with no device.
        if (current_) current_->silent = true;
      }
      move_to(Device::Closed);
      return;
    case OutputEvent::Restored:
      reports_.outage_over();
      return;
    case OutputEvent::Drained:
      drained_ = true;
      return;
    case OutputEvent::Suspended:
    case OutputEvent::Resumed:
    case OutputEvent::Moved:
      // What the output has played says all the rules need.
      return;
  }
}

SoundRules::Time SoundRules::next_due() const {
  const Time now = clock_.now();
  if (events_waiting_.load(std::memory_order_acquire)) return now;
  Time due = now + std::chrono::hours(1);
  if (current_ && current_->silent) {
    due = std::min(due, current_->length_end);
  } else if (current_) {
    const std::optional<std::uint64_t> end = stream_.end();
    const std::uint64_t played = output_->played();
    if (end) {
      // Woken when the rest should have been heard, then often.
      const double left = static_cast<double>(*end - std::min(*end, played)) / kFormat.rate;
      due = std::min(due, now + std::max<Clock::duration>(kEndPoll, seconds(left)));
    } else {
      due = std::min(due, std::max(std::min(current_->length_end, now + kEndLook), now + kEndPoll));
    }
    due = std::min(due, deadline(*current_));
  }
  if (device_ == Device::Fading) due = std::min(due, std::min(cork_at_, now + kEndPoll));
  if (device_ == Device::Idle) due = std::min(due, close_at_);
  return due;
}

void SoundRules::run_keeper() {
  std::unique_lock lock(mutex_);
  while (!quitting_) {
    keep_time();
    if (!retired_.empty()) {
      // Reports wait for a request; sounds done with are let go here.
      std::vector<std::shared_ptr<Playback>> retired = std::move(retired_);
      retired_.clear();
      lock.unlock();
      retired.clear();
      lock.lock();
      continue;
    }
    clock_.wait(lock, changed_, next_due());
  }
}

}  // namespace wavorin
