#pragma once

#include <chrono>

struct SDL_semaphore;

namespace wavorin {

// A counting semaphore whose post never blocks, so the audio callback may
// signal through it.
class Semaphore {
 public:
  Semaphore();
  Semaphore(const Semaphore&) = delete;
  Semaphore& operator=(const Semaphore&) = delete;
  ~Semaphore();

  void post() noexcept;
  // True when a post was taken before the timeout.
  bool wait_for(std::chrono::milliseconds timeout) noexcept;

 private:
  SDL_semaphore* semaphore_;
};

}  // namespace wavorin
