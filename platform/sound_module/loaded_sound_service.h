#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound_service.h"

namespace wavorin {

// The sound service, loaded from its module on first need: the first
// warm_up() loads it in the background (later ones warm the loaded service
// up again); a request that comes first loads it itself, and one that comes
// while it loads waits for it. Without the module every request
// fails as with no sound device, and that is reported once.
class LoadedSoundService : public SoundService {
 public:
  explicit LoadedSoundService(std::string module_path);
  LoadedSoundService(const LoadedSoundService&) = delete;
  LoadedSoundService& operator=(const LoadedSoundService&) = delete;
  ~LoadedSoundService() override;

  int sndPlaySoundA(const std::string& name, unsigned flags) override;
  void set_reporter(SoundReporter reporter) override;
  void warm_up() override;
  std::optional<std::int64_t> length_us(const std::string& name) override;

 private:
  SoundService* service();
  void load();

  std::string module_path_;
  SoundReporter reporter_;
  std::once_flag loaded_;
  std::unique_ptr<SoundService> service_;
  std::atomic<bool> loaded_service_{false};  // service_ is set and may be used
  std::thread loader_;
};

}  // namespace wavorin
