#pragma once

#include <sys/types.h>

namespace wavorin::bench {

// What a running process has used so far, read from /proc: CPU time of all
// its threads, and wake-ups (context switches, voluntary and not, of all its
// threads: each is the process being put back on a core).
struct ProcessUse {
  double cpu_seconds = 0;
  long long wakeups = 0;

  static ProcessUse of(pid_t pid);
};

// Resident memory now (VmRSS), KiB; -1 once the process has gone.
long rss_kib(pid_t pid);

}  // namespace wavorin::bench
