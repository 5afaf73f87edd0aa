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
  device->format_ = DeviceFormat{have.format, have.freq, have.channels, have.samples};
  return device;
}

AudioDevice::~AudioDevice() {
  if (id_ != 0) SDL_CloseAudioDevice(id_);
}

void AudioDevice::attach(Playback* playback) {
  SDL_LockAudioDevice(id_);
  playback_ = playback;
  SDL_UnlockAudioDevice(id_);
  SDL_PauseAudioDevice(id_, 0);
}

bool AudioDevice::running() const { return SDL_GetAudioDeviceStatus(id_) != SDL_AUDIO_STOPPED; }

void SDLCALL AudioDevice::on_audio(void* self, Uint8* stream, int length) {
  auto* device = static_cast<AudioDevice*>(self);
  if (device->playback_ != nullptr) {
    device->playback_->fill(stream, length);
  } else {
    std::memset(stream, device->format_.format == AUDIO_U8 ? 0x80 : 0,
                static_cast<std::size_t>(length));
  }
}

}  // namespace wavorin
