#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "platform/sound/rules/rule_clock.h"

namespace wavorin {

// Time for the tests: it moves only when asked to, or when the rules wait,
// a millisecond at a time, and each step runs what keeps time (the fake
// outputs, then the rules' keeper). Used on one thread.
class VirtualClock : public RuleClock {
 public:
  static constexpr std::chrono::milliseconds kStep{1};

  Time now() const override { return now_; }
  void wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
            Time deadline) override;
  bool real() const override { return false; }
  void set_keeper(std::function<void()> keep_time) override { keeper_ = std::move(keep_time); }

  // Runs before the rules' keeper at each step, with the step's length.
  void add_ticker(std::function<void(std::chrono::milliseconds)> tick) {
    tickers_.push_back(std::move(tick));
  }
  void advance(std::chrono::milliseconds by);

 private:
  void step();

  Time now_{std::chrono::hours(1)};
  std::function<void()> keeper_;
  std::vector<std::function<void(std::chrono::milliseconds)>> tickers_;
};

}  // namespace wavorin
