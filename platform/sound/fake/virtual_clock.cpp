#include "platform/sound/fake/virtual_clock.h"

namespace wavorin {

void VirtualClock::wait(std::unique_lock<std::mutex>& lock, std::condition_variable&,
                        Time deadline) {
  lock.unlock();
  if (deadline > now_) {
    step();
  } else if (keeper_) {
    keeper_();
  }
  lock.lock();
}

void VirtualClock::advance(std::chrono::milliseconds by) {
  for (auto left = by; left > std::chrono::milliseconds(0); left -= kStep) step();
}

void VirtualClock::step() {
  now_ += kStep;
  for (auto& tick : tickers_) tick(kStep);
  if (keeper_) keeper_();
}

}  // namespace wavorin
