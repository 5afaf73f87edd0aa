#include "bench/sound/device_tap.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace wavorin::bench {

namespace {

std::string new_fifo_path() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return "/tmp/wavorin-bench-" + std::to_string(::getpid()) + "-" + std::to_string(now) + ".fifo";
}

}  // namespace

DeviceTap::DeviceTap(Backend backend, std::string fifo) : fifo_(std::move(fifo)), listener_(fifo_) {
  if (backend == Backend::disk) {
    env_ = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", fifo_}};
    return;
  }
  env_ = player_environment(backend);
  recorder_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"parec", "--device=@DEFAULT_MONITOR@", "--raw", "--format=s16le",
                               "--rate=44100", "--channels=2", "--latency-msec=1"},
      ChildProcess::Environment{}, fifo_);
}

ChildProcess::Environment DeviceTap::player_environment(Backend backend) {
  if (backend == Backend::pulse) return {{"SDL_AUDIODRIVER", "pulseaudio"}};
  return {};
}

std::unique_ptr<DeviceTap> DeviceTap::open(Backend backend) {
  std::unique_ptr<DeviceTap> tap(new DeviceTap(backend, new_fifo_path()));
  if (backend != Backend::disk && !tap->listener_.wait_for_data(std::chrono::milliseconds(5000))) {
    std::fprintf(stderr, "parec gave no samples: is PULSE_SERVER set and the server up?\n");
    return nullptr;
  }
  return tap;
}

}  // namespace wavorin::bench
