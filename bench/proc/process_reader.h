#pragma once

#include <sys/types.h>

#include <map>
#include <string>

namespace wavorin::bench {

// What a process has used so far, read from /proc: CPU time of all its
// threads, and wake-ups (context switches, voluntary and not, of all its
// threads: each is the process being put back on a core).
struct ProcessUse {
  double cpu_seconds = 0;
  std::map<std::string, long long> thread_wakeups;  // by thread id

  static ProcessUse of(pid_t pid);
  // Wake-ups since `earlier`, thread by thread: a thread that ended took its
  // count with it, so only the threads still there count (those that began
  // since count from nothing).
  long long wakeups_since(const ProcessUse& earlier) const;
};

// Each of these is -1 once the process has gone.
// User plus system CPU time of all its threads so far, seconds.
double cpu_seconds(pid_t pid);
// A number from /proc/<pid>/status: "VmRSS" and "VmHWM" (KiB), "Threads"...
long long status_number(pid_t pid, const std::string& key);
// Open file descriptors.
long long open_files(pid_t pid);

}  // namespace wavorin::bench
