#pragma once

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound/sound_output.h"

namespace wavorin {

class AudioDriver;

// An output on SDL2: its audio callback only pulls from the source and pads
// with silence. SDL starts its audio system and opens or closes a device
// only on this output's own thread, as those can wait for a sound server;
// the other calls take SDL's device lock at most for a callback's copy.
class SdlOutput : public SoundOutput {
 public:
  // Never refuses: SDL's audio system starts on the output's thread.
  static std::unique_ptr<SoundOutput> make(OutputListener& listener, std::string& refused);

  explicit SdlOutput(OutputListener& listener);
  SdlOutput(const SdlOutput&) = delete;
  SdlOutput& operator=(const SdlOutput&) = delete;
  ~SdlOutput() override;

  bool open(const OutputFormat& format, SampleSource& source,
            const std::string& media_name) override;
  bool is_open() const override;
  void set_corked(bool corked) override;
  void wake() override {}  // the callback asks on its own, every buffer
  std::uint64_t flush() override;
  void drain() override {}  // SDL plays all it was given
  void close() override;
  std::uint64_t played() const override;
  void set_latency(Latency) override {}
  void set_media_name(const std::string&) override {}
  std::string why() const override;
  const char* name() const override { return "sdl"; }

 private:
  static void SDLCALL on_audio(void* self, Uint8* stream, int length);
  void run();
  // On the output's thread, without the lock.
  SDL_AudioDeviceID open_device(std::string& failure);

  OutputListener& listener_;
  OutputFormat format_;

  mutable std::mutex mutex_;  // guards what the output's thread shares with callers
  std::condition_variable wake_;
  std::unique_ptr<AudioDriver> driver_;  // the output's thread's own
  SDL_AudioDeviceID device_ = 0;
  bool wanted_ = false;  // a stream is asked for
  bool corked_ = true;
  bool lost_ = false;  // told Lost; Restored follows the next device opened
  bool quitting_ = false;
  bool told_ = false;  // a driver's fallback was told on standard error
  std::string why_;

  // The callback's, read by any thread.
  std::atomic<SampleSource*> source_{nullptr};
  std::atomic<std::uint64_t> pulled_{0};       // stream frames before the last callback's
  std::atomic<std::uint64_t> last_frames_{0};  // stream frames of the last callback
  std::atomic<std::int64_t> last_at_ns_{0};    // when it ran, steady clock
  std::thread thread_;
};

}  // namespace wavorin
