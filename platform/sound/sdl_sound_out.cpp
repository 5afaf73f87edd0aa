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

struct SdlSoundOut::SyncWait {
  std::shared_ptr<Playback> playing;
  std::shared_ptr<AudioDevice> device;
  std::shared_ptr<AudioDriver> driver;
  int played;  // the result once heard
};

SdlSoundOut::SdlSoundOut() : SdlSoundOut(Options{}) {}

SdlSoundOut::SdlSoundOut(Options options) : options_(options) {
  // An SDL thread: what SDL keeps for a thread that calls it (its error
  // text) is freed when the thread ends only for threads SDL started.
  device_thread_ = SDL_CreateThread(
      [](void* self) {
        static_cast<SdlSoundOut*>(self)->run_device();
        return 0;
      },
      "wavorin-device", this);
  if (device_thread_ == nullptr) {
    std::fprintf(stderr, "wavorin: cannot start the sound service's thread: %s\n", SDL_GetError());
  }
}

SdlSoundOut::~SdlSoundOut() {
  {
    const std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  wake_device_.notify_one();
  SDL_WaitThread(device_thread_, nullptr);
  const std::lock_guard lock(mutex_);
  close_device();
  release_let_go();
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
  wake_device_.notify_one();
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
  std::optional<SyncWait> sync;
  {
    std::unique_lock serving(serving_);
    bool serve = false;
    {
      std::unique_lock lock(mutex_);
      const bool busy = playback_ && !playback_->finished();
      serve = (flags & SND_NOSTOP) == 0 || !busy;
      if (serve) {
        ++holders_;
        end_current(lock);
      }
    }
    if (serve) {
      result = name.empty() ? 1 : play(name, flags, reports, sync);
      // A synchronous request holds the device until it has heard its
      // sound: a device lost meanwhile is its own to report.
      if (!sync) {
        const std::lock_guard lock(mutex_);
        --holders_;
      }
      wake_device_.notify_one();
    }
  }
  if (sync) {
    // Waited for without the lock, so that another thread's request (a
    // Stop) is served meanwhile; this request keeps what it uses alive.
    const bool delivered = sync->playing->wait_until_delivered(*sync->device);
    // The last buffer is now in the device: it takes one more period to be heard.
    if (delivered) {
      std::this_thread::sleep_for(
          std::chrono::duration<double>(sync->device->format().buffer_seconds()));
    }
    const std::unique_lock serving(serving_);
    std::unique_lock lock(mutex_);
    const int failed = (flags & SND_NODEFAULT) != 0 ? 0 : 1;
    if (playback_ != sync->playing) {
      // Ended meanwhile: by another request (faded, done as it asked), or by
      // the device thread, which found the device lost and told of it.
      result = sync->playing->finished() ? sync->played : failed;
    } else if (delivered && !sync->playing->cut_short()) {
      result = sync->played;
    } else if (delivered) {
      reports.push_back(cut_short(name, flags));
      result = failed;
    } else {
      note_failure(reports);
      end_current(lock);
      result = failed;
    }
    --holders_;
    lock.unlock();
    let_go(std::move(sync->device));
    let_go(std::move(sync->driver));
    wake_device_.notify_one();
  }
  deliver(reports);
  return result;
}

int SdlSoundOut::play(const std::string& name, unsigned flags, Reports& reports,
                      std::optional<SyncWait>& sync) {
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
  std::shared_ptr<AudioDevice> device;
  std::shared_ptr<AudioDriver> driver;
  bool silent = false;
  {
    std::unique_lock lock(mutex_);
    device = acquire_device(lock);
    driver = driver_;
    silent = silent_;
  }
  if (!device) return failed;
  // Given back to the device thread on every way out.
  const auto give_back = [&] {
    let_go(std::move(device));
    let_go(std::move(driver));
  };
  const DeviceFormat format = device->format();
  if (samples && !cache_.find(name, *identity, format)) {
    // Kept for a device of another format: read the file again.
    samples = nullptr;
    if (!open_file()) {
      give_back();
      return failed;
    }
  }
  std::shared_ptr<Playback> playback;
  if (samples) {
    playback = std::make_shared<Playback>(std::move(samples), format);
  } else {
    const FileIdentity opened = file->identity();
    std::optional<SoundDecoder> decoder = SoundDecoder::create(std::move(*file), format, error);
    if (!decoder) {
      reports.push_back(unplayable(name, flags, error));
      give_back();
      return failed;
    }
    samples = cache_.decode_and_keep(name, opened, format, *decoder, decoder->duration_seconds());
    playback = samples ? std::make_shared<Playback>(std::move(samples), format)
                       : std::make_shared<Playback>(std::move(*decoder), format);
  }
  playback->start();
  {
    const std::lock_guard lock(mutex_);
    playback_ = playback;
    device->attach(playback.get());
  }
  wake_device_.notify_one();
  const int played = silent ? failed : 1;
  if ((flags & SND_ASYNC) != 0) {
    const bool taken = playback->wait_until_taken(*device);
    if (!taken) {
      const std::lock_guard lock(mutex_);
      note_failure(reports);
    }
    give_back();
    return taken ? played : failed;
  }
  sync = SyncWait{std::move(playback), std::move(device), std::move(driver), played};
  return played;
}

std::shared_ptr<AudioDevice> SdlSoundOut::acquire_device(std::unique_lock<std::mutex>& lock) {
  const int attempts = open_attempts_;
  for (;;) {
    const bool open = state_ == DeviceState::Idle || state_ == DeviceState::Playing;
    // A device opened for this request is its own even if it failed at
    // once: playing on it finds that out and tells of it.
    if (device_ && open && (device_->running() || open_attempts_ != attempts)) return device_;
    // Without its thread the service has no device to give.
    if (device_thread_ == nullptr || quitting_ ||
        (open_attempts_ != attempts && state_ == DeviceState::Closed)) {
      return nullptr;
    }
    // A lost device is closed by the device thread, and a new one opened.
    want_device_ = true;
    wake_device_.notify_one();
    device_changed_.wait(lock);
  }
}

void SdlSoundOut::note_failure(Reports& reports) {
  // The silent stand-in keeps time on its own and is already reported.
  if (failure_reported_ || silent_) return;
  failure_reported_ = true;
  std::fprintf(stderr, "wavorin: %s\n", kDeviceStopped);
  reports.push_back(SoundReport{SoundProblem::DeviceFailed, "", 0, kDeviceStopped});
}

void SdlSoundOut::end_current(std::unique_lock<std::mutex>& lock) {
  if (!playback_) return;
  // Out of playback_ at once: a synchronous request waiting for this sound
  // finds it ended by another request.
  const std::shared_ptr<Playback> ending = std::move(playback_);
  std::shared_ptr<AudioDevice> device = device_;
  if (!device) return;
  lock.unlock();
  ending->fade_out(*device);
  device->attach(nullptr);
  let_go(std::move(device));
  lock.lock();
}

void SdlSoundOut::let_go(std::shared_ptr<void> reference) {
  if (!reference) return;
  const std::lock_guard lock(let_go_mutex_);
  let_go_.push_back(std::move(reference));
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

void SdlSoundOut::move_to(DeviceState next) {
  const DeviceState before = std::exchange(state_, next);
  // Each entry into Idle starts the grace period again.
  if (next == DeviceState::Idle) idle_since_ = Clock::now();
  if (before != next) device_changed_.notify_all();
}

void SdlSoundOut::release_let_go() {
  std::vector<std::shared_ptr<void>> references;
  {
    const std::lock_guard lock(let_go_mutex_);
    references.swap(let_go_);
  }
  // In the order let go: a device before its driver.
  for (auto& reference : references) reference.reset();
}

void SdlSoundOut::open_device(std::unique_lock<std::mutex>& lock) {
  warm_up_ = false;
  move_to(DeviceState::Opening);
  std::shared_ptr<AudioDriver> driver = driver_;
  bool told = fallback_told_;
  lock.unlock();
  if (!driver) driver = std::make_shared<AudioDriver>();
  std::string silent_because;
  std::shared_ptr<AudioDevice> device = driver->open_device(kWantedFormat, silent_because, told);
  lock.lock();
  driver_ = std::move(driver);
  fallback_told_ = told;
  want_device_ = false;
  ++open_attempts_;
  Reports reports;
  silent_ = !silent_because.empty();
  if (silent_ && !no_device_reported_) {
    no_device_reported_ = true;
    reports.push_back(SoundReport{SoundProblem::NoDevice, "", 0, silent_because});
  }
  device_ = std::move(device);
  failure_reported_ = false;
  move_to(device_ ? DeviceState::Idle : DeviceState::Closed);
  device_changed_.notify_all();
  lock.unlock();
  deliver(reports);
  lock.lock();
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
  // What requests let go meanwhile goes before the driver.
  release_let_go();
  driver.reset();
  lock.lock();
  move_to(DeviceState::Closed);
}

void SdlSoundOut::run_device() {
  std::unique_lock lock(mutex_);
  while (!quitting_) {
    lock.unlock();
    release_let_go();
    lock.lock();
    if (quitting_) break;
    if (!device_ && (want_device_ || warm_up_)) {
      // A warmed-up device is parked for the request it is warmed for: a
      // parked stream starts at once, where a new one waits for the sound
      // server's next round. Unused, it closes after the grace period.
      open_device(lock);
      continue;
    }
    if (warm_up_) {
      warm_up_ = false;
      // An idle device's grace period starts again: the press that warms it
      // up is about to play its click.
      if (state_ == DeviceState::Idle) move_to(DeviceState::Idle);
      continue;
    }
    if (!device_) {
      wake_device_.wait(lock);
      continue;
    }
    // A lost device: closed once no request uses it, or one wants another.
    if (!device_->running() && (holders_ == 0 || want_device_)) {
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
      if (state_ != DeviceState::Playing) move_to(DeviceState::Playing);
      // Asleep for the whole sound: it is looked at when it should be over.
      wake_device_.wait_until(lock, std::max(playback_->expected_end(), now + kLateCheck));
      continue;
    }
    if (state_ != DeviceState::Idle) move_to(DeviceState::Idle);
    if (holders_ > 0 || want_device_) {
      // In use by a request, which wakes this thread when done.
      wake_device_.wait(lock);
      continue;
    }
    if (now - idle_since_ >= options_.idle_close) {
      close_device_unlocked(lock);
      continue;
    }
    wake_device_.wait_until(lock, idle_since_ + options_.idle_close);
  }
}

}  // namespace wavorin
