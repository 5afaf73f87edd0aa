#include "platform/sound/decoding/semaphore.h"

#include <SDL2/SDL_mutex.h>

#include <new>

namespace wavorin {

Semaphore::Semaphore() : semaphore_(SDL_CreateSemaphore(0)) {
  if (semaphore_ == nullptr) throw std::bad_alloc();
}

Semaphore::~Semaphore() { SDL_DestroySemaphore(semaphore_); }

void Semaphore::post() noexcept { SDL_SemPost(semaphore_); }

bool Semaphore::wait_for(std::chrono::milliseconds timeout) noexcept {
  return SDL_SemWaitTimeout(semaphore_, static_cast<Uint32>(timeout.count())) == 0;
}

}  // namespace wavorin
