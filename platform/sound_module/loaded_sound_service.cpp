#include "platform/sound_module/loaded_sound_service.h"

#include <dlfcn.h>

#include <iostream>
#include <utility>

#include "platform/sound/facts/wave_facts.h"
#include "platform/sound_module/module_entry.h"

namespace wavorin {

LoadedSoundService::LoadedSoundService(std::string module_path)
    : module_path_(std::move(module_path)) {}

LoadedSoundService::~LoadedSoundService() {
  if (loader_.joinable()) loader_.join();
  // The module stays loaded: its code must outlive every object it made.
  service_.reset();
}

int LoadedSoundService::sndPlaySoundA(const std::string& name, unsigned flags) {
  if (SoundService* loaded = service()) return loaded->sndPlaySoundA(name, flags);
  // As the service answers when no device could be opened: nothing was
  // heard, and ending no sound is done.
  return !name.empty() && (flags & SND_NODEFAULT) != 0 ? 0 : 1;
}

void LoadedSoundService::set_reporter(SoundReporter reporter) { reporter_ = std::move(reporter); }

void LoadedSoundService::warm_up() {
  if (!loader_.joinable()) {
    loader_ = std::thread([this] {
      if (SoundService* loaded = service()) loaded->warm_up();
    });
    return;
  }
  // Once loaded; while it loads, the loader warms it up anyway.
  if (loaded_service_.load(std::memory_order_acquire)) service_->warm_up();
}

std::optional<std::int64_t> LoadedSoundService::length_us(const std::string& name) {
  // From the file's header: neither the module nor a server is waited for.
  const std::optional<WaveFacts> facts = WaveFacts::read(name);
  if (!facts) return std::nullopt;
  return facts->length_us();
}

SoundService* LoadedSoundService::service() {
  std::call_once(loaded_, [this] { load(); });
  return service_.get();
}

void LoadedSoundService::load() {
  // Never closed, as it stays for the program's life. Lazily bound: resolving
  // every symbol of the libraries it brings at once took several times longer.
  void* module = ::dlopen(module_path_.c_str(), RTLD_LAZY | RTLD_LOCAL);
  const char* error = module == nullptr ? ::dlerror() : nullptr;
  if (module != nullptr) {
    const auto make = reinterpret_cast<MakeSoundService>(::dlsym(module, kMakeSoundService));
    if (make == nullptr) error = ::dlerror();
    if (make != nullptr) service_.reset(make());
  }
  if (service_) {
    service_->set_reporter(reporter_);
    loaded_service_.store(true, std::memory_order_release);
    return;
  }
  const std::string reason = error != nullptr ? error : "the sound service could not be made";
  std::cerr << "wavorin: no sound: " << reason << '\n';
  if (reporter_) reporter_(SoundReport{SoundProblem::NoDevice, "", 0, reason});
}

}  // namespace wavorin
