// The floor for playing: the program's two sound libraries and nothing
// else. Opens the default device as the program asks for it (44100 Hz,
// stereo, 16-bit, 1024-frame buffers), decodes a wave file with libsndfile
// straight into the device's buffers, plays it to the end and exits. No
// window, no animation, no decoder thread.
//
//   wavorin_sdl_player <file.wav>
#include <SDL2/SDL.h>
#include <sndfile.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

struct Player {
  SNDFILE* file = nullptr;
  int channels = 0;
  SDL_sem* finished = nullptr;
  std::atomic<bool> ended{false};
};

void on_audio(void* userdata, Uint8* stream, int len) {
  auto* player = static_cast<Player*>(userdata);
  const auto frames = static_cast<sf_count_t>(len / (player->channels * 2));
  const sf_count_t read =
      player->ended ? 0 : sf_readf_short(player->file, reinterpret_cast<short*>(stream), frames);
  if (read < frames) {
    const auto filled = static_cast<std::size_t>(read * player->channels * 2);
    std::memset(stream + filled, 0, static_cast<std::size_t>(len) - filled);
    if (!player->ended.exchange(true)) SDL_SemPost(player->finished);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wavorin_sdl_player <file.wav>\n");
    return 2;
  }
  Player player;
  SF_INFO info{};
  player.file = sf_open(argv[1], SFM_READ, &info);
  if (player.file == nullptr) {
    std::fprintf(stderr, "%s: %s\n", argv[1], sf_strerror(nullptr));
    return 1;
  }
  // TERM from the bench ends it at once, as it ends paplay.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    sf_close(player.file);
    return 1;
  }
  player.finished = SDL_CreateSemaphore(0);
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &on_audio;
  want.userdata = &player;
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  int status = 0;
  if (device == 0 || info.channels != have.channels || info.samplerate != have.freq) {
    std::fprintf(stderr, "%s: no device for %d Hz, %d channels: %s\n", argv[1], info.samplerate,
                 info.channels, SDL_GetError());
    status = 1;
  } else {
    player.channels = have.channels;
    SDL_PauseAudioDevice(device, 0);
    SDL_SemWait(player.finished);
    // The last buffers still on their way to the speaker.
    SDL_Delay(static_cast<Uint32>(3 * have.samples * 1000 / have.freq));
  }
  if (device != 0) SDL_CloseAudioDevice(device);
  SDL_DestroySemaphore(player.finished);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  sf_close(player.file);
  return status;
}
