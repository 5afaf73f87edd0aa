#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace wavorin::bench {

// Another program run for measuring: started with extra environment
// variables, its stdout sent to a file (a FIFO, say) or discarded, and its
// stderr discarded. Ended (TERM, then KILL) when the owner goes.
class ChildProcess {
 public:
  using Clock = std::chrono::steady_clock;
  using Environment = std::vector<std::pair<std::string, std::string>>;

  ChildProcess(const std::vector<std::string>& argv, const Environment& extra_env,
               const std::string& stdout_path = "/dev/null");
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  pid_t pid() const { return pid_; }
  // The moment just before fork().
  Clock::time_point started() const { return started_; }
  // False once it has exited (it is reaped then), or if it never started.
  bool running();
  // Peak resident memory (VmHWM) in KiB, or -1 once it has gone.
  long peak_rss_kib() const;
  // User plus system CPU time of all its threads so far, or -1 once it has gone.
  double cpu_seconds() const;

 private:
  pid_t pid_ = -1;
  Clock::time_point started_;
};

}  // namespace wavorin::bench
