#include "platform/sound/sdl_sound_out.h"

#include <cstdio>
#include <utility>

#include "platform/sound/audio_device.h"
#include "platform/sound/audio_driver.h"
#include "platform/sound/playback.h"
#include "platform/sound/sound_decoder.h"
#include "platform/sound/sound_file.h"

namespace wavorin {
namespace {

// 16-bit 44.1 kHz stereo: what most wave files hold, so they reach the
// device without conversion. 1024 frames is about 23 ms per buffer.
constexpr DeviceFormat kWantedFormat{AUDIO_S16SYS, 44100, 2, 1024};
// While a sound plays the closer looks this often whether it has ended.
constexpr auto kPlayingPoll = std::chrono::milliseconds(200);

void report_unplayable(const std::string& name, const std::string& reason) {
  std::fprintf(stderr, "wavorin: cannot play '%s': %s\n", name.c_str(), reason.c_str());
}

}  // namespace

SdlSoundOut::SdlSoundOut() : SdlSoundOut(Options{}) {}

SdlSoundOut::SdlSoundOut(Options options)
    : options_(options),
      driver_(std::make_unique<AudioDriver>()),
      closer_([this] { close_when_idle(); }) {}

SdlSoundOut::~SdlSoundOut() {
  {
    const std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  wake_closer_.notify_one();
  closer_.join();
  close_device();
}

void SdlSoundOut::set_reporter(SoundReporter reporter) {
  const std::lock_guard lock(mutex_);
  reporter_ = std::move(reporter);
}

void SdlSoundOut::report(const SoundReport& report) const {
  if (reporter_) reporter_(report);
}

void SdlSoundOut::report_device_failed() {
  if (device_failure_reported_) return;
  device_failure_reported_ = true;
  const std::string reason = "the device stopped taking samples";
  std::fprintf(stderr, "wavorin: sound device failed while playing: %s\n", reason.c_str());
  report({SoundProblem::DeviceFailed, "", 0, reason});
}

int SdlSoundOut::sndPlaySoundA(const std::string& name, unsigned flags) {
  std::unique_lock lock(mutex_);
  if (device_ && !device_->running()) {
    // Lost while playing: drop it; this request opens a new one.
    if (playback_ && !playback_->finished()) report_device_failed();
    close_device();
  }
  const bool busy = playback_ && !playback_->finished();
  if ((flags & SND_NOSTOP) != 0 && busy) return 0;
  end_current();
  const int result = name.empty() ? 1 : play(name, flags);
  if (!playback_ || playback_->finished()) {
    idle_ = true;
    idle_since_ = Clock::now();
  }
  wake_closer_.notify_one();
  return result;
}

int SdlSoundOut::play(const std::string& name, unsigned flags) {
  // There is no default sound: a bad name without SND_NODEFAULT plays
  // nothing and still counts as done, so the caller goes on as after a sound.
  const int failed = (flags & SND_NODEFAULT) != 0 ? 0 : 1;
  std::string error;
  std::optional<SoundFile> file = SoundFile::open_path(name, error);
  if (!file) {
    report_unplayable(name, error);
    report({SoundProblem::FileUnplayable, name, flags, error});
    return failed;
  }
  if (!device_) {
    device_ = driver_->open_device(kWantedFormat);
    device_failure_reported_ = false;
    if (driver_->silent() && !no_device_reported_) {
      no_device_reported_ = true;
      report({SoundProblem::NoDevice, "", flags, driver_->fallback_reason()});
    }
  }
  if (!device_) return failed;
  std::optional<SoundDecoder> decoder =
      SoundDecoder::create(std::move(*file), device_->format(), error);
  if (!decoder) {
    report_unplayable(name, error);
    report({SoundProblem::FileUnplayable, name, flags, error});
    return failed;
  }
  playback_ = std::make_unique<Playback>(std::move(*decoder), device_->format());
  playback_->start();
  device_->attach(playback_.get());
  idle_ = false;
  if ((flags & SND_ASYNC) != 0) return 1;

  if (playback_->wait_until_delivered(*device_)) {
    // The last buffer is now in the device: it takes one more period to be heard.
    std::this_thread::sleep_for(std::chrono::duration<double>(device_->format().buffer_seconds()));
    return 1;
  }
  // Never heard to its end: the device was lost or stopped taking samples.
  if (!device_->running()) report_device_failed();
  end_current();
  return failed;
}

void SdlSoundOut::end_current() {
  if (!playback_) return;
  if (device_) {
    playback_->fade_out(*device_);
    device_->attach(nullptr);
  }
  playback_.reset();
}

void SdlSoundOut::close_device() {
  if (device_) device_->attach(nullptr);
  playback_.reset();
  device_.reset();
}

void SdlSoundOut::close_when_idle() {
  std::unique_lock lock(mutex_);
  while (!quitting_) {
    if (!device_) {
      wake_closer_.wait(lock);
      continue;
    }
    if (!idle_ && playback_ && !playback_->finished() && device_->running()) {
      wake_closer_.wait_for(lock, kPlayingPoll);
      continue;
    }
    if (!idle_) {
      if (!device_->running() && playback_ && !playback_->finished()) report_device_failed();
      idle_ = true;
      idle_since_ = Clock::now();
    }
    if (Clock::now() - idle_since_ >= options_.idle_close) {
      close_device();
      continue;
    }
    wake_closer_.wait_until(lock, idle_since_ + options_.idle_close);
  }
}

}  // namespace wavorin
