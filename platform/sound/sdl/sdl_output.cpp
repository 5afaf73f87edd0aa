#include "platform/sound/sdl/sdl_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "platform/sound/sdl/audio_driver.h"

namespace wavorin {
namespace {

using Clock = std::chrono::steady_clock;

// About 23 ms per buffer at 44.1 kHz: a cut is heard within one, and
// through PulseAudio each buffer costs four or five wake-ups.
constexpr Uint16 kBufferFrames = 1024;
// How often an open device is looked at for loss (SDL tells no one).
constexpr auto kLossCheck = std::chrono::milliseconds(100);

std::int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::unique_ptr<SoundOutput> SdlOutput::make(OutputListener& listener, std::string&) {
  return std::make_unique<SdlOutput>(listener);
}

SdlOutput::SdlOutput(OutputListener& listener) : listener_(listener) {
  thread_ = std::thread([this] { run(); });
}

SdlOutput::~SdlOutput() {
  {
    const std::lock_guard lock(mutex_);
    quitting_ = true;
    wanted_ = false;
  }
  wake_.notify_all();
  thread_.join();
}

bool SdlOutput::open(const OutputFormat& format, SampleSource& source, const std::string&) {
  {
    const std::lock_guard lock(mutex_);
    // Read by the callback without the lock: written only before the first
    // device, as the rules always ask for the same format.
    if (!(format == format_)) format_ = format;
    wanted_ = true;
    corked_ = true;
    if (device_ != 0) SDL_LockAudioDevice(device_);
    source_.store(&source);
    pulled_.store(0);
    last_frames_.store(0);
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }
  wake_.notify_all();
  return true;
}

bool SdlOutput::is_open() const {
  const std::lock_guard lock(mutex_);
  return wanted_;
}

void SdlOutput::set_corked(bool corked) {
  const std::lock_guard lock(mutex_);
  corked_ = corked;
  if (device_ != 0) SDL_PauseAudioDevice(device_, corked ? 1 : 0);
}

std::uint64_t SdlOutput::flush() {
  // What SDL's device holds cannot be taken back; a pull in progress ends
  // before the lock is given.
  const std::lock_guard lock(mutex_);
  if (device_ != 0) SDL_LockAudioDevice(device_);
  const std::uint64_t position = pulled_.load() + last_frames_.load();
  if (device_ != 0) SDL_UnlockAudioDevice(device_);
  return position;
}

void SdlOutput::close() {
  {
    const std::lock_guard lock(mutex_);
    wanted_ = false;
    if (device_ != 0) {
      SDL_LockAudioDevice(device_);
      source_.store(nullptr);
      SDL_UnlockAudioDevice(device_);
    }
    source_.store(nullptr);
  }
  wake_.notify_all();
}

std::uint64_t SdlOutput::played() const {
  // The last callback's frames are heard over the buffer after it.
  const std::uint64_t before = pulled_.load(std::memory_order_acquire);
  const std::uint64_t last = last_frames_.load(std::memory_order_acquire);
  const double seconds = static_cast<double>(now_ns() - last_at_ns_.load()) / 1e9;
  const auto since = static_cast<std::uint64_t>(std::max(0.0, seconds) * format_.rate);
  return before + std::min(last, since);
}

std::string SdlOutput::why() const {
  const std::lock_guard lock(mutex_);
  return why_;
}

void SDLCALL SdlOutput::on_audio(void* self, Uint8* stream, int length) {
  auto* out = static_cast<SdlOutput*>(self);
  const std::size_t frame_bytes = out->format_.frame_bytes();
  const std::size_t frames = static_cast<std::size_t>(length) / frame_bytes;
  SampleSource* source = out->source_.load(std::memory_order_acquire);
  const std::size_t got =
      source != nullptr ? source->pull(reinterpret_cast<std::int16_t*>(stream), frames) : 0;
  std::memset(stream + got * frame_bytes, 0, static_cast<std::size_t>(length) - got * frame_bytes);
  out->pulled_.fetch_add(out->last_frames_.exchange(got), std::memory_order_release);
  out->last_at_ns_.store(now_ns());
}

SDL_AudioDeviceID SdlOutput::open_device(std::string& failure) {
  if (!driver_) driver_ = std::make_unique<AudioDriver>();
  SDL_AudioSpec wanted{};
  wanted.freq = format_.rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(format_.channels);
  wanted.samples = kBufferFrames;
  wanted.callback = &SdlOutput::on_audio;
  wanted.userdata = this;
  std::string silent_because;
  const SDL_AudioDeviceID device = driver_->open_device(wanted, silent_because, told_);
  failure = device == 0 ? SDL_GetError() : silent_because;
  if (device != 0 && !failure.empty()) {
    // Only a silent stand-in: the rules keep time without it.
    SDL_CloseAudioDevice(device);
    return 0;
  }
  return device;
}

void SdlOutput::run() {
  std::unique_lock lock(mutex_);
  while (!quitting_) {
    if (wanted_ && device_ == 0) {
      lock.unlock();
      std::string failure;
      const SDL_AudioDeviceID device = open_device(failure);
      lock.lock();
      if (device == 0) {
        why_ = failure;
        wanted_ = false;
        lost_ = true;
        // A driver that failed is started afresh next time.
        lock.unlock();
        driver_.reset();
        listener_.on_output_event(OutputEvent::Lost, failure);
        lock.lock();
        continue;
      }
      device_ = device;
      SDL_PauseAudioDevice(device_, corked_ ? 1 : 0);
      continue;
    }
    if (!wanted_ && device_ != 0) {
      const SDL_AudioDeviceID device = std::exchange(device_, 0);
      lock.unlock();
      // Closing can wait for the sound server.
      SDL_CloseAudioDevice(device);
      lock.lock();
      continue;
    }
    if (device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
      why_ = "the sound device stopped taking samples";
      wanted_ = false;
      lost_ = true;
      const SDL_AudioDeviceID device = std::exchange(device_, 0);
      lock.unlock();
      SDL_CloseAudioDevice(device);
      driver_.reset();
      listener_.on_output_event(OutputEvent::Lost, "the sound device stopped taking samples");
      lock.lock();
      continue;
    }
    // Back only once a device has taken samples and kept going: one that
    // opens and fails at once is the same outage.
    if (device_ != 0 && lost_ && pulled_.load() > 0) {
      lost_ = false;
      listener_.on_output_event(OutputEvent::Restored, "");
    }
    if (device_ != 0) {
      wake_.wait_for(lock, kLossCheck);
    } else {
      wake_.wait(lock);
    }
  }
  if (device_ != 0) SDL_CloseAudioDevice(std::exchange(device_, 0));
  driver_.reset();
  // SDL keeps its error text per thread; this thread is not one of SDL's,
  // so SDL would not free it when the thread ends.
  SDL_TLSCleanup();
}

}  // namespace wavorin
