#include "platform/sound/pulse_sound_out.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop-api.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/app_identity.h"
#include "platform/sound/playback.h"
#include "platform/sound/pulse_stream.h"
#include "platform/sound/sound_decoder.h"
#include "platform/sound/sound_file.h"

namespace wavorin {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

using pulse::drop;
using pulse::kSpec;

// As the server takes it (pulse::kSpec), for the decoder.
constexpr DeviceFormat kFormat{AUDIO_S16SYS, 44100, 2, 1024, 0};
// Once a sound longer than this has started, the buffer grows (where it is
// not already large): a cut flushes it, so it does not delay a Stop.
constexpr double kLongSound = 1.0;
// Ahead of the server, in the feeder's ring.
constexpr double kRingSeconds = 2.0;
constexpr double kFadeSeconds = 0.005;
// From a cut to the stream's cork: the fade, and a margin for its way out.
constexpr std::chrono::microseconds kFadeHeard{25000};
// The samples kept for a fade: more than the largest buffer and the device's latency.
constexpr std::size_t kHistoryBytes = std::size_t{5} * 44100 * 4;
// How long the first connection may take before the server counts as absent.
constexpr auto kConnectLimit = milliseconds(2000);
// Slack past a synchronous sound's length before it is given up.
constexpr auto kOverrunMargin = milliseconds(3000);

std::string base_name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

SoundReport unplayable(const std::string& name, unsigned flags, const std::string& reason) {
  std::fprintf(stderr, "wavorin: cannot play '%s': %s\n", name.c_str(), reason.c_str());
  return SoundReport{SoundProblem::FileUnplayable, name, flags, reason, SoundFile::fault_of(name)};
}

// A ramp from full level to silence over `frames` interleaved stereo frames.
void ramp_down(std::int16_t* samples, std::size_t frames) {
  for (std::size_t f = 0; f < frames; ++f) {
    const double gain = static_cast<double>(frames - f) / static_cast<double>(frames + 1);
    for (std::size_t c = 0; c < 2; ++c) {
      std::int16_t& s = samples[f * 2 + c];
      s = static_cast<std::int16_t>(static_cast<double>(s) * gain);
    }
  }
}

}  // namespace

PulseSoundOut::PulseSoundOut(Options options) : options_(options), history_(kHistoryBytes) {}

std::unique_ptr<PulseSoundOut> PulseSoundOut::connect(Options options, std::string& error) {
  std::unique_ptr<PulseSoundOut> out(new PulseSoundOut(options));
  out->loop_ = pa_threaded_mainloop_new();
  if (out->loop_ == nullptr || pa_threaded_mainloop_start(out->loop_) < 0) {
    error = "cannot start libpulse's main loop";
    return nullptr;
  }
  pa_threaded_mainloop_lock(out->loop_);
  out->move_to(Device::Connecting);
  PulseSoundOut& self = *out;
  const bool answered = out->wait_until([&self] { return self.device_ != Device::Connecting; },
                                        Clock::now() + kConnectLimit);
  const bool ready = out->device_ != Device::Disconnected && out->device_ != Device::Connecting;
  if (!ready) error = answered ? out->refused_because_ : "the sound server did not answer";
  out->chosen_ = ready;
  pa_threaded_mainloop_unlock(out->loop_);
  if (!ready) return nullptr;
  return out;
}

PulseSoundOut::~PulseSoundOut() {
  if (loop_ == nullptr) return;
  pa_threaded_mainloop_lock(loop_);
  end_current(false);
  std::vector<std::unique_ptr<Playback>> retired = std::move(retired_);
  pa_threaded_mainloop_unlock(loop_);
  // Their feeders may be waiting for the lock; they end without it.
  retired.clear();
  pa_threaded_mainloop_lock(loop_);
  move_to(Device::Disconnected);
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

void PulseSoundOut::set_reporter(SoundReporter reporter) {
  const std::lock_guard lock(reporter_mutex_);
  reporter_ = std::move(reporter);
}

std::optional<std::int64_t> PulseSoundOut::length_us(const std::string& name) {
  std::string error;
  const auto file = SoundFile::open_path(name, error);
  if (!file || file->sample_rate() <= 0) return std::nullopt;
  return static_cast<std::int64_t>(static_cast<double>(file->frames()) * 1e6 / file->sample_rate());
}

void PulseSoundOut::warm_up() {
  pa_threaded_mainloop_lock(loop_);
  if (bring_up() && device_ == Device::Idle) arm_grace_timer();
  pa_threaded_mainloop_unlock(loop_);
  deliver();
}

int PulseSoundOut::sndPlaySoundA(const std::string& name, unsigned flags) {
  // There is no default sound: a bad name without SND_NODEFAULT plays
  // nothing and still counts as done.
  const int failed = (flags & SND_NODEFAULT) != 0 ? 0 : 1;
  if ((flags & SND_NOSTOP) != 0) {
    pa_threaded_mainloop_lock(loop_);
    const bool busy = current_ != nullptr;
    pa_threaded_mainloop_unlock(loop_);
    if (busy) {
      deliver();
      return 0;
    }
  }
  Reports reports;
  std::unique_ptr<Playback> sound = name.empty() ? nullptr : prepare(name, flags, reports);

  pa_threaded_mainloop_lock(loop_);
  if ((flags & SND_NOSTOP) != 0 && current_) {
    // Another thread's sound started meanwhile.
    pa_threaded_mainloop_unlock(loop_);
    sound.reset();
    deliver();
    return 0;
  }
  stop_current(sound != nullptr);
  pending_.insert(pending_.end(), reports.begin(), reports.end());
  // Whatever was to follow the last sound's end (a cut one's fade) is past.
  cancel_heard_timer();
  if (!sound) {
    pa_threaded_mainloop_unlock(loop_);
    deliver();
    return name.empty() ? 1 : failed;
  }
  const std::uint64_t generation = ++generation_;
  const Clock::time_point deadline = Clock::now() +
                                     std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(sound->duration_seconds())) +
                                     kOverrunMargin;
  current_ = std::move(sound);
  current_name_ = name;
  current_flags_ = flags;
  started_ = false;
  sound_bytes_ = 0;
  draining_ = false;
  // Otherwise the sound starts when the stream is ready.
  if (bring_up()) {
    name_stream();
    move_to(Device::Playing);
    write_some();
  }
  if (device_ == Device::Disconnected) {
    const std::string reason = refused_because_;
    lose_server(reason.c_str());
  } else if (device_ == Device::Closed) {
    end_current(false);
  }
  int result = 1;
  if ((flags & SND_ASYNC) == 0) {
    const bool ended =
        wait_until([this, generation] { return ended_.generation >= generation; }, deadline);
    if (!ended) {
      // A server that takes samples far slower than it plays them.
      stop_current();
      result = failed;
    } else if (ended_.generation == generation && !ended_.heard) {
      result = failed;
    }
  } else if (device_ == Device::Disconnected) {
    result = failed;
  }
  std::vector<std::unique_ptr<Playback>> retired = std::move(retired_);
  pa_threaded_mainloop_unlock(loop_);
  retired.clear();
  deliver();
  return result;
}

std::unique_ptr<Playback> PulseSoundOut::prepare(const std::string& name, unsigned flags,
                                                 Reports& reports) {
  std::string error;
  const std::optional<FileIdentity> identity = FileIdentity::of(name, error);
  if (!identity) {
    reports.push_back(unplayable(name, flags, error));
    return nullptr;
  }
  {
    const std::lock_guard lock(cache_mutex_);
    if (DecodedSound kept = cache_.find(name, *identity, kFormat)) {
      return std::make_unique<Playback>(std::move(kept), kFormat);
    }
  }
  std::optional<SoundFile> file = SoundFile::open_path(name, error);
  if (!file) {
    reports.push_back(unplayable(name, flags, error));
    return nullptr;
  }
  const FileIdentity opened = file->identity();
  std::optional<SoundDecoder> decoder = SoundDecoder::create(std::move(*file), kFormat, error);
  if (!decoder) {
    reports.push_back(unplayable(name, flags, error));
    return nullptr;
  }
  DecodedSound samples;
  {
    const std::lock_guard lock(cache_mutex_);
    samples = cache_.decode_and_keep(name, opened, kFormat, *decoder, decoder->duration_seconds());
  }
  if (samples) return std::make_unique<Playback>(std::move(samples), kFormat);
  auto playback = std::make_unique<Playback>(std::move(*decoder), kFormat, kRingSeconds);
  Playback* raw = playback.get();
  // Called on the feeder's thread, never under the lock: it takes it.
  playback->on_starved_data([this, raw] {
    pa_threaded_mainloop_lock(loop_);
    if (current_.get() == raw) write_some();
    pa_threaded_mainloop_unlock(loop_);
  });
  playback->start();
  return playback;
}

bool PulseSoundOut::bring_up() {
  switch (device_) {
    case Device::Disconnected:
      move_to(Device::Connecting);
      return false;
    case Device::Closed:
      move_to(Device::Opening);
      return false;
    case Device::Connecting:
    case Device::Opening:
      return false;
    case Device::Idle:
    case Device::Playing:
      return true;
  }
  return false;
}

void PulseSoundOut::move_to(Device next) {
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  if (next != Device::Idle && grace_timer_ != nullptr) {
    api->time_free(grace_timer_);
    grace_timer_ = nullptr;
  }
  switch (next) {
    case Device::Disconnected:
    case Device::Closed:
      pulse::close_stream(stream_);
      if (next == Device::Disconnected) pulse::close_context(context_);
      break;
    case Device::Connecting:
      context_ = pulse::new_context(api);
      if (context_ == nullptr) {
        refused_because_ = "cannot make a libpulse context";
        next = Device::Disconnected;
        break;
      }
      pa_context_set_state_callback(context_, &PulseSoundOut::on_context_state, this);
      // nullptr: the server libpulse finds (PULSE_SERVER, then the session's).
      if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        // The state callback may have dropped the context already.
        if (context_ != nullptr) {
          refused_because_ = pa_strerror(pa_context_errno(context_));
          pa_context_set_state_callback(context_, nullptr, nullptr);
          pa_context_unref(context_);
          context_ = nullptr;
        }
        next = Device::Disconnected;
      }
      break;
    case Device::Opening:
      stream_ = pulse::new_stream(context_, current_ ? base_name(current_name_) : kApplicationName);
      if (stream_ == nullptr) {
        next = Device::Closed;
        break;
      }
      pa_stream_set_state_callback(stream_, &PulseSoundOut::on_stream_state, this);
      pa_stream_set_write_callback(stream_, &PulseSoundOut::on_write, this);
      long_buffer_ = rewinds_;
      if (!pulse::connect_stream(stream_, rewinds_)) {
        pa_stream_unref(stream_);
        stream_ = nullptr;
        next = Device::Closed;
      }
      break;
    case Device::Idle:
      drop(pa_stream_cork(stream_, 1, nullptr, nullptr));
      arm_grace_timer();
      break;
    case Device::Playing:
      if (device_ != Device::Playing) {
        drop(pa_stream_cork(stream_, 0, nullptr, nullptr));
        // Nothing is queued; the flush makes a device that runs ahead
        // rewind, so the samples that follow are heard at once rather than
        // after what it has already taken.
        drop(pa_stream_flush(stream_, nullptr, nullptr));
      }
      break;
  }
  device_ = next;
}

void PulseSoundOut::name_stream() { pulse::rename_stream(stream_, base_name(current_name_)); }

void PulseSoundOut::arm_grace_timer() {
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  timeval when{};
  pa_gettimeofday(&when);
  pa_timeval_add(&when,
                 static_cast<pa_usec_t>(std::chrono::microseconds(options_.idle_close).count()));
  if (grace_timer_ != nullptr) {
    api->time_restart(grace_timer_, &when);
    return;
  }
  grace_timer_ = api->time_new(
      api, &when,
      [](pa_mainloop_api* loop_api, pa_time_event* event, const timeval*, void* self) {
        auto* out = static_cast<PulseSoundOut*>(self);
        loop_api->time_free(event);
        out->grace_timer_ = nullptr;
        if (out->device_ == Device::Idle) out->move_to(Device::Closed);
      },
      this);
}

void PulseSoundOut::stop_current(bool followed) {
  if (!current_) return;
  const bool writing = device_ == Device::Playing && started_;
  end_current(true);
  if (writing) {
    // Corked once the fade is heard, unless a new sound comes first.
    arm_heard_timer(fade_and_flush(followed));
  } else if (device_ == Device::Playing) {
    move_to(Device::Idle);
  }
}

void PulseSoundOut::end_current(bool heard) {
  cancel_heard_timer();
  if (!current_) return;
  ended_ = Ended{generation_, heard};
  if (heard && current_->finished() && current_->cut_short()) {
    std::fprintf(stderr, "wavorin: '%s' could not be read to its end\n", current_name_.c_str());
    pending_.push_back(SoundReport{SoundProblem::FileCutShort, current_name_, current_flags_,
                                   "the file ends before its announced length"});
    ended_.heard = false;
  }
  retired_.push_back(std::move(current_));
  draining_ = false;
  pa_threaded_mainloop_signal(loop_, 0);
}

void PulseSoundOut::write_some() {
  if (device_ != Device::Playing || !current_ || draining_) return;
  Playback& playback = *current_;
  std::size_t room = pa_stream_writable_size(stream_);
  if (room == static_cast<std::size_t>(-1)) return;
  // A sound kept decoded (a click) goes to the server whole, at once.
  if (!started_) room = std::max(room, SoundCache::kMaxBytes);
  while (room > 0) {
    void* data = nullptr;
    std::size_t size = room;
    if (pa_stream_begin_write(stream_, &data, &size) < 0 || data == nullptr) break;
    size = std::min(size, room);
    const std::size_t given = playback.give(static_cast<std::byte*>(data), size);
    if (given == 0) {
      pa_stream_cancel_write(stream_);
      break;
    }
    history_.remember(data, given);
    pa_stream_write(stream_, data, given, nullptr, 0, PA_SEEK_RELATIVE);
    sound_bytes_ += given;
    room -= given;
    if (!started_) {
      started_ = true;
      started_at_ = Clock::now();
      // Playing at once, not when the buffer's start-up fill is reached.
      drop(pa_stream_trigger(stream_, nullptr, nullptr));
    }
  }
  if (started_ && !rewinds_) set_long_buffer(playback.duration_seconds() > kLongSound);
  if (playback.finished()) {
    draining_ = true;
    drop(pa_stream_drain(stream_, &PulseSoundOut::on_drained, this));
  }
}

void PulseSoundOut::set_long_buffer(bool long_sound) {
  if (long_sound == long_buffer_) return;
  long_buffer_ = long_sound;
  const pa_buffer_attr attr =
      pulse::buffer_attr(long_sound ? pulse::kLongBuffer : pulse::kShortBuffer);
  drop(pa_stream_set_buffer_attr(stream_, &attr, nullptr, nullptr));
}

std::chrono::microseconds PulseSoundOut::fade_and_flush(bool followed) {
  // The listener hears what was written `latency` ago. A device that
  // rewinds is taken back there by the flush, so the fade starts there; one
  // that cannot plays on what it already holds, so the fade follows that.
  std::vector<std::int16_t> fade;
  const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
  const pa_usec_t device_latency = timing != nullptr ? timing->sink_usec : 0;
  pa_usec_t latency = 0;
  int negative = 0;
  if (pa_stream_get_latency(stream_, &latency, &negative) == 0) {
    const std::size_t frame = pa_frame_size(&kSpec);
    if (!rewinds_) latency -= std::min(latency, device_latency);
    std::size_t behind = negative != 0 ? 0 : pa_usec_to_bytes(latency, &kSpec);
    behind -= behind % frame;
    const auto fade_bytes = static_cast<std::size_t>(kSpec.rate * kFadeSeconds) * frame;
    const std::size_t size = std::min(behind, fade_bytes);
    fade.resize(size / sizeof(std::int16_t));
    if (size > 0 && history_.copy_back(behind, fade.data(), size)) {
      ramp_down(fade.data(), size / frame);
    } else {
      fade.clear();
    }
  }
  drop(pa_stream_flush(stream_, nullptr, nullptr));
  if (!fade.empty()) {
    const std::size_t size = fade.size() * sizeof(std::int16_t);
    history_.remember(fade.data(), size);
    pa_stream_write(stream_, fade.data(), size, nullptr, 0, PA_SEEK_RELATIVE);
  }
  if (rewinds_) {
    drop(pa_stream_trigger(stream_, nullptr, nullptr));
    return kFadeHeard;
  }
  // A server that cannot rewind plays a stream only a request's worth at a
  // time: unless a new sound follows at once, silence completes the fade's.
  if (!followed) {
    const pa_buffer_attr* attr = pa_stream_get_buffer_attr(stream_);
    const std::size_t request =
        attr != nullptr ? attr->minreq : pulse::bytes_for(pulse::kShortBuffer) / 4;
    const std::vector<std::byte> silence(request - request % pa_frame_size(&kSpec));
    history_.remember(silence.data(), silence.size());
    pa_stream_write(stream_, silence.data(), silence.size(), nullptr, 0, PA_SEEK_RELATIVE);
  }
  drop(pa_stream_trigger(stream_, nullptr, nullptr));
  return kFadeHeard + std::chrono::microseconds(device_latency);
}

void PulseSoundOut::lose_server(const char* reason) {
  refused_because_ = reason;
  const bool had_sound = current_ != nullptr && device_ != Device::Connecting;
  end_current(false);
  move_to(Device::Disconnected);
  // The first connection's failure is told by whoever chose this service.
  if (outage_reported_ || !chosen_) return;
  outage_reported_ = true;
  if (had_sound) {
    std::fprintf(stderr, "wavorin: the sound server stopped while a sound played (%s)\n", reason);
    pending_.push_back(SoundReport{SoundProblem::DeviceFailed, "", 0, reason});
  } else {
    std::fprintf(stderr, "wavorin: no sound server answers (%s)\n", reason);
    pending_.push_back(SoundReport{SoundProblem::NoDevice, "", 0, reason});
  }
}

template <typename Done>
bool PulseSoundOut::wait_until(Done done, Clock::time_point deadline) {
  struct Alarm {
    pa_threaded_mainloop* loop;
    bool rang = false;
  } alarm{loop_, false};
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  timeval when{};
  pa_gettimeofday(&when);
  const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
  pa_timeval_add(&when, static_cast<pa_usec_t>(std::max<std::int64_t>(0, wait.count())));
  pa_time_event* event = api->time_new(
      api, &when,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
        auto* ringing = static_cast<Alarm*>(data);
        ringing->rang = true;
        pa_threaded_mainloop_signal(ringing->loop, 0);
      },
      &alarm);
  while (!done() && !alarm.rang) pa_threaded_mainloop_wait(loop_);
  api->time_free(event);
  return done();
}

void PulseSoundOut::deliver() {
  Reports reports;
  pa_threaded_mainloop_lock(loop_);
  reports.swap(pending_);
  pa_threaded_mainloop_unlock(loop_);
  if (reports.empty()) return;
  SoundReporter reporter;
  {
    const std::lock_guard lock(reporter_mutex_);
    reporter = reporter_;
  }
  if (!reporter) return;
  for (const SoundReport& report : reports) reporter(report);
}

void PulseSoundOut::on_context_state(pa_context* context, void* self) {
  auto* out = static_cast<PulseSoundOut*>(self);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
      // Still connecting until the server has said what it is.
      drop(pa_context_get_server_info(context, &PulseSoundOut::on_server_info, self));
      return;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
      out->lose_server(pa_strerror(pa_context_errno(context)));
      break;
    default:
      return;
  }
  pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseSoundOut::on_server_info(pa_context*, const pa_server_info* info, void* self) {
  auto* out = static_cast<PulseSoundOut*>(self);
  if (out->device_ != Device::Connecting) return;
  out->rewinds_ = info != nullptr && info->server_name != nullptr &&
                  std::strstr(info->server_name, "PipeWire") == nullptr;
  out->outage_reported_ = false;
  out->move_to(Device::Closed);
  // For the sound waiting, or for the request a warm-up expects.
  out->move_to(Device::Opening);
  if (out->device_ == Device::Closed) out->end_current(false);
  pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseSoundOut::on_stream_state(pa_stream* stream, void* self) {
  auto* out = static_cast<PulseSoundOut*>(self);
  switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
      if (out->current_) {
        // A sound that came while the stream was being made.
        out->name_stream();
        out->move_to(Device::Playing);
        out->write_some();
      } else {
        out->move_to(Device::Idle);
      }
      break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
      // The connection's own failure is told by the context; a stream the
      // server ended (its device removed, the stream killed) ends its sound.
      if (pa_context_get_state(out->context_) != PA_CONTEXT_READY) return;
      out->end_current(false);
      out->move_to(Device::Closed);
      break;
    default:
      return;
  }
  pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseSoundOut::on_write(pa_stream*, std::size_t, void* self) {
  static_cast<PulseSoundOut*>(self)->write_some();
}

void PulseSoundOut::on_drained(pa_stream*, int success, void* self) {
  auto* out = static_cast<PulseSoundOut*>(self);
  // A flush for a newer sound cancels the drain: success is 0 then, and
  // the newer sound is left alone.
  if (success == 0 || !out->draining_ || out->device_ != Device::Playing || !out->current_ ||
      !out->current_->finished()) {
    return;
  }
  // Drained is rendered; a device that runs far ahead of the listener
  // renders long before the sound is heard to its end.
  const auto heard_at =
      out->started_at_ + std::chrono::microseconds(pa_bytes_to_usec(out->sound_bytes_, &kSpec));
  const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(heard_at - Clock::now());
  if (wait.count() <= 0) {
    out->heard();
    return;
  }
  out->arm_heard_timer(wait);
}

void PulseSoundOut::arm_heard_timer(std::chrono::microseconds wait) {
  cancel_heard_timer();
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  timeval when{};
  pa_gettimeofday(&when);
  pa_timeval_add(&when, static_cast<pa_usec_t>(wait.count()));
  heard_timer_ = api->time_new(
      api, &when,
      [](pa_mainloop_api* loop_api, pa_time_event* event, const timeval*, void* data) {
        auto* service = static_cast<PulseSoundOut*>(data);
        loop_api->time_free(event);
        service->heard_timer_ = nullptr;
        service->heard();
      },
      this);
}

void PulseSoundOut::cancel_heard_timer() {
  if (heard_timer_ == nullptr) return;
  pa_threaded_mainloop_get_api(loop_)->time_free(heard_timer_);
  heard_timer_ = nullptr;
}

void PulseSoundOut::heard() {
  end_current(true);
  move_to(Device::Idle);
}

}  // namespace wavorin
