#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace wavorin {

// Time as the sound rules see it: the machine's steady clock, or a virtual
// one that the tests move on, which runs the rules' time-keeping itself.
class RuleClock {
 public:
  using Time = std::chrono::steady_clock::time_point;

  virtual ~RuleClock() = default;
  virtual Time now() const = 0;
  // Waits, with `lock` let go, until `wake` is notified or `deadline`; may
  // return sooner. A virtual clock moves time on instead of sleeping.
  virtual void wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                    Time deadline) = 0;
  // True when the rules keep time on a thread of their own; false when the
  // clock calls `keep_time` (set once, before the first request) as it moves.
  virtual bool real() const = 0;
  virtual void set_keeper(std::function<void()> keep_time) = 0;
};

class SteadyRuleClock : public RuleClock {
 public:
  Time now() const override { return std::chrono::steady_clock::now(); }
  void wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
            Time deadline) override {
    wake.wait_until(lock, deadline);
  }
  bool real() const override { return true; }
  void set_keeper(std::function<void()>) override {}
};

}  // namespace wavorin
