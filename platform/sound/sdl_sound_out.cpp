#include "platform/sound/sdl_sound_out.h"

#include <SDL2/SDL_error.h>
#include <SDL2/SDL_thread.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "platform/sound/audio_device.h"
#include "platform/sound/audio_driver.h"
#include "platform/sound/playback.h"
#include "platform/sound/sound_decoder.h"
#include "platform/sound/sound_file.h"

namespace wavorin {
namespace {

// 16-bit 44.1 kHz stereo: what most wave files hold, so they reach the
// device without conversion. 1024 frames is about 23 ms per buffer. A parked
// device has nothing queued, so a click starts at once whatever the size;
// smaller buffers only shorten a Stop, and through PulseAudio each buffer
// costs the audio thread four or five wake-ups (512 frames: about 420 a
// second while a sound plays, against 180 at 1024).
constexpr DeviceFormat kWantedFormat{AUDIO_S16SYS, 44100, 2, 1024, 0};
// A sound past its expected end (a device that runs slow) is looked at again
// this often.
constexpr auto kLateCheck = std::chrono::milliseconds(100);
constexpr const char* kDeviceStopped = "the sound device stopped taking samples";

SoundReport unplayable(const std::string& name, unsigned flags, const std::string& reason) {
  std::fprintf(stderr, "wavorin: cannot play '%s': %s\n", name.c_str(), reason.c_str());
  return SoundReport{SoundProblem::FileUnplayable, name, flags, reason, SoundFile::fault_of(name)};
}

SoundReport cut_short(const std::string& name, unsigned flags) {
  std::fprintf(stderr, "wavorin: '%s' could not be read to its end\n", name.c_str());
  return SoundReport{SoundProblem::FileCutShort, name, flags,
                     "the file ends before its announced length"};
}

}  // namespace

SdlSoundOut::SdlSoundOut() : SdlSoundOut(Options{}) {}

SdlSoundOut::SdlSoundOut(Options options) : options_(options) {
  // An SDL thread: what SDL keeps for a thread that calls it (its error
  // text) is freed when the thread ends only for threads SDL started.
  closer_ = SDL_CreateThread(
      [](void* self) {
        static_cast<SdlSoundOut*>(self)->close_when_idle();
        return 0;
      },
      "wavorin-closer", this);
  if (closer_ == nullptr) {
    std::fprintf(stderr, "wavorin: cannot start the sound service's thread: %s\n", SDL_GetError());
  }
}

SdlSoundOut::~SdlSoundOut() {
  {
    const std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  wake_closer_.notify_one();
  SDL_WaitThread(closer_, nullptr);
  const std::lock_guard lock(mutex_);
  close_device();
}

void SdlSoundOut::set_reporter(SoundReporter reporter) {
  const std::lock_guard lock(mutex_);
  reporter_ = std::move(reporter);
}

void SdlSoundOut::warm_up() {
  {
    const std::lock_guard lock(mutex_);
    warm_up_ = true;
  }
  wake_closer_.notify_one();
}

std::optional<std::int64_t> SdlSoundOut::length_us(const std::string& name) {
  std::string error;
  const auto file = SoundFile::open_path(name, error);
  if (!file || file->sample_rate() <= 0) return std::nullopt;
  return static_cast<std::int64_t>(static_cast<double>(file->frames()) * 1e6 / file->sample_rate());
}

int SdlSoundOut::sndPlaySoundA(const std::string& name, unsigned flags) {
  Reports reports;
  int result = 0;
  {
    std::unique_lock lock(mutex_);
    closed_.wait(lock, [this] { return state_ != DeviceState::Closing; });
    if (device_ && !device_->running()) {
      // Lost: drop it, with its driver; this request opens a new one.
      if (playback_) note_failure(reports);
      close_device();
      driver_.reset();
    }
    const bool busy = playback_ && !playback_->finished();
    if ((flags & SND_NOSTOP) == 0 || !busy) {
      end_current();
      result = name.empty() ? 1 : play(name, flags, reports, lock);
      if (device_ && (!playback_ || playback_->finished())) move_to(DeviceState::Idle);
      wake_closer_.notify_one();
    }
  }
  deliver(reports);
  return result;
}

int SdlSoundOut::play(const std::string& name, unsigned flags, Reports& reports,
                      std::unique_lock<std::mutex>& lock) {
  // There is no default sound: a bad name without SND_NODEFAULT plays
  // nothing and still counts as done, so the caller goes on as after a sound.
  const int failed = (flags & SND_NODEFAULT) != 0 ? 0 : 1;
  std::string error;
  const std::optional<FileIdentity> identity = FileIdentity::of(name, error);
  if (!identity) {
    reports.push_back(unplayable(name, flags, error));
    return failed;
  }
  std::optional<SoundFile> file;
  const auto open_file = [&] {
    file = SoundFile::open_path(name, error);
    if (!file) reports.push_back(unplayable(name, flags, error));
    return file.has_value();
  };
  // A kept sound needs no file opened. Otherwise the file is checked before
  // the device opens: a bad name costs no device.
  DecodedSound samples = cache_.find(name, *identity);
  if (!samples && !open_file()) return failed;
  if (!ensure_device(reports)) return failed;
  const DeviceFormat format = device_->format();
  if (samples && !cache_.find(name, *identity, format)) {
    // Kept for a device of another format: read the file again.
    samples = nullptr;
    if (!open_file()) return failed;
  }
  if (samples) {
    playback_ = std::make_shared<Playback>(std::move(samples), format);
  } else {
    const FileIdentity opened = file->identity();
    std::optional<SoundDecoder> decoder = SoundDecoder::create(std::move(*file), format, error);
    if (!decoder) {
      reports.push_back(unplayable(name, flags, error));
      return failed;
    }
    samples = cache_.decode_and_keep(name, opened, format, *decoder, decoder->duration_seconds());
    playback_ = samples ? std::make_shared<Playback>(std::move(samples), format)
                        : std::make_shared<Playback>(std::move(*decoder), format);
  }
  playback_->start();
  device_->attach(playback_.get());
  move_to(DeviceState::Playing);
  const int played = silent_ ? failed : 1;
  if ((flags & SND_ASYNC) != 0) {
    if (playback_->wait_until_taken(*device_)) return played;
    note_failure(reports);
    return failed;
  }
  // Waited for without the lock, so that another thread's request (a Stop)
  // is served meanwhile and the closer can look at the device; each keeps
  // what it uses alive.
  // The driver too: SDL's audio system must outlive the device, which the
  // closer may give up meanwhile with its driver.
  const std::shared_ptr<AudioDriver> driver = driver_;
  const std::shared_ptr<Playback> playing = playback_;
  const std::shared_ptr<AudioDevice> device = device_;
  lock.unlock();
  const bool delivered = playing->wait_until_delivered(*device);
  // The last buffer is now in the device: it takes one more period to be heard.
  if (delivered)
    std::this_thread::sleep_for(std::chrono::duration<double>(format.buffer_seconds()));
  lock.lock();
  // Ended meanwhile: by another request (faded, done as it asked), or by
  // the closer, which found the device lost and told of it.
  if (playback_ != playing) return playing->finished() ? played : failed;
  if (delivered && !playing->cut_short()) return played;
  if (delivered) {
    reports.push_back(cut_short(name, flags));
    return failed;
  }
  note_failure(reports);
  end_current();
  return failed;
}

bool SdlSoundOut::ensure_device(Reports& reports) {
  if (device_) return true;
  if (!driver_) driver_ = std::make_shared<AudioDriver>();
  std::string silent_because;
  device_ = driver_->open_device(kWantedFormat, silent_because, fallback_told_);
  failure_reported_ = false;
  silent_ = !silent_because.empty();
  if (silent_ && !no_device_reported_) {
    no_device_reported_ = true;
    reports.push_back(SoundReport{SoundProblem::NoDevice, "", 0, silent_because});
  }
  return device_ != nullptr;
}

void SdlSoundOut::note_failure(Reports& reports) {
  // The silent stand-in keeps time on its own and is already reported.
  if (failure_reported_ || silent_) return;
  failure_reported_ = true;
  std::fprintf(stderr, "wavorin: %s\n", kDeviceStopped);
  reports.push_back(SoundReport{SoundProblem::DeviceFailed, "", 0, kDeviceStopped});
}

void SdlSoundOut::end_current() {
  if (!playback_) return;
  if (device_) {
    playback_->fade_out(*device_);
    device_->attach(nullptr);
  }
  playback_.reset();
}

void SdlSoundOut::move_to(DeviceState next) {
  const DeviceState before = std::exchange(state_, next);
  // Each entry into Idle starts the grace period again.
  if (next == DeviceState::Idle) idle_since_ = Clock::now();
  if (before == DeviceState::Closing && next != DeviceState::Closing) closed_.notify_all();
}

void SdlSoundOut::close_device() {
  if (device_) device_->attach(nullptr);
  playback_.reset();
  device_.reset();
  move_to(DeviceState::Closed);
}

void SdlSoundOut::close_device_unlocked(std::unique_lock<std::mutex>& lock) {
  std::shared_ptr<AudioDevice> device = std::move(device_);
  std::shared_ptr<Playback> playback = std::move(playback_);
  // A silent stand-in, or a device that was lost, gives up its driver too:
  // the next sound starts the audio system afresh and tries the desktop's
  // driver again, which may be back by then.
  std::shared_ptr<AudioDriver> driver = silent_ || lost_ ? std::move(driver_) : nullptr;
  lost_ = false;
  if (device) device->attach(nullptr);
  move_to(DeviceState::Closing);
  lock.unlock();
  playback.reset();
  device.reset();
  driver.reset();
  lock.lock();
  move_to(DeviceState::Closed);
}

void SdlSoundOut::deliver(Reports& reports) {
  if (reports.empty()) return;
  SoundReporter reporter;
  {
    const std::lock_guard lock(mutex_);
    reporter = reporter_;
  }
  if (!reporter) return;
  for (const SoundReport& report : reports) reporter(report);
}

void SdlSoundOut::close_when_idle() {
  std::unique_lock lock(mutex_);
  while (!quitting_) {
    if (warm_up_) {
      warm_up_ = false;
      // The device too, parked, for the request it is warmed for: a parked
      // stream starts at once, where a new one waits for the sound server's
      // next round. Unused, it closes after the grace period.
      Reports reports;
      // An idle device's grace period starts again: the press that warms it
      // up is about to play its click.
      if ((device_ && state_ == DeviceState::Idle) || (!device_ && ensure_device(reports))) {
        move_to(DeviceState::Idle);
      }
      lock.unlock();
      deliver(reports);
      lock.lock();
      continue;
    }
    if (!device_) {
      wake_closer_.wait(lock);
      continue;
    }
    if (!device_->running()) {
      Reports reports;
      if (playback_) note_failure(reports);
      lost_ = true;
      close_device_unlocked(lock);
      lock.unlock();
      deliver(reports);
      lock.lock();
      continue;
    }
    const Clock::time_point now = Clock::now();
    if (playback_ && !playback_->finished()) {
      // Asleep for the whole sound: it is looked at when it should be over.
      wake_closer_.wait_until(lock, std::max(playback_->expected_end(), now + kLateCheck));
      move_to(DeviceState::Playing);
      continue;
    }
    if (state_ != DeviceState::Idle) move_to(DeviceState::Idle);
    if (now - idle_since_ >= options_.idle_close) {
      close_device_unlocked(lock);
      continue;
    }
    wake_closer_.wait_until(lock, idle_since_ + options_.idle_close);
  }
}

}  // namespace wavorin
