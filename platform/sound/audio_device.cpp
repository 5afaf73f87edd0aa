#include "platform/sound/audio_device.h"

#include <cstring>

#include "platform/sound/playback.h"

namespace wavorin {

std::unique_ptr<AudioDevice> AudioDevice::open(const DeviceFormat& wanted) {
  std::unique_ptr<AudioDevice> device(new AudioDevice);
  SDL_AudioSpec want{};
  want.freq = wanted.rate;
  want.format = wanted.format;
  want.channels = static_cast<Uint8>(wanted.channels);
  want.samples = static_cast<Uint16>(wanted.buffer_frames);
  want.callback = &AudioDevice::on_audio;
  want.userdata = device.get();
  SDL_AudioSpec have{};
  device->id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device->id_ == 0) {
    device->id_ = SDL_OpenAudioDevice(
        nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE);
  }
  if (device->id_ == 0) return nullptr;
  device->format_ = DeviceFormat{have.format, have.freq, have.channels, have.samples, have.silence};
  // Unpaused once, here: SDL_PauseAudioDevice takes SDL's device lock, which
  // a parked callback holds. The first callback parks at once.
  SDL_PauseAudioDevice(device->id_, 0);
  return device;
}

AudioDevice::~AudioDevice() {
  release_parked();
  if (id_ != 0) SDL_CloseAudioDevice(id_);
}

void AudioDevice::release_parked() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    playback_ = nullptr;
  }
  wake_.notify_all();
}

void AudioDevice::attach(Playback* playback) {
  {
    const std::lock_guard lock(mutex_);
    playback_ = playback;
  }
  wake_.notify_all();
}

bool AudioDevice::running() const { return SDL_GetAudioDeviceStatus(id_) != SDL_AUDIO_STOPPED; }

void SDLCALL AudioDevice::on_audio(void* self, Uint8* stream, int length) {
  auto* device = static_cast<AudioDevice*>(self);
  std::unique_lock lock(device->mutex_);
  // Parking is the one wait on the audio thread: nothing is due to play, so
  // nothing can be late. Everything else here only copies.
  device->wake_.wait(lock, [device] {
    return device->closing_ || (device->playback_ != nullptr && !device->playback_->finished());
  });
  if (device->playback_ != nullptr) {
    device->playback_->fill(stream, length);
  } else {
    std::memset(stream, device->format_.silence, static_cast<std::size_t>(length));
  }
}

}  // namespace wavorin
