#include "bench/desktop/process_meter.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace wavorin::bench {
namespace {

long long switches(const std::string& status_path) {
  std::ifstream status(status_path);
  std::string key;
  long long total = 0;
  while (status >> key) {
    long long value = 0;
    if (key == "voluntary_ctxt_switches:" || key == "nonvoluntary_ctxt_switches:") {
      status >> value;
      total += value;
    }
    status.ignore(1 << 10, '\n');
  }
  return total;
}

}  // namespace

ProcessUse ProcessUse::of(pid_t pid) {
  ProcessUse use;
  const std::string base = "/proc/" + std::to_string(pid);
  std::ifstream file(base + "/stat");
  const std::string stat{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // Fields after the command name, which may hold spaces: utime and stime
  // are fields 14 and 15, in clock ticks, for all threads.
  const auto close = stat.rfind(')');
  if (close != std::string::npos) {
    std::istringstream fields(stat.substr(close + 2));
    std::string skipped;
    for (int field = 3; field < 14; ++field) fields >> skipped;
    long long utime = 0;
    long long stime = 0;
    fields >> utime >> stime;
    use.cpu_seconds =
        static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  if (DIR* tasks = opendir((base + "/task").c_str())) {
    while (const dirent* entry = readdir(tasks)) {
      if (entry->d_name[0] == '.') continue;
      use.thread_wakeups[entry->d_name] = switches(base + "/task/" + entry->d_name + "/status");
    }
    closedir(tasks);
  }
  return use;
}

long long ProcessUse::wakeups_since(const ProcessUse& earlier) const {
  long long total = 0;
  for (const auto& [thread, count] : thread_wakeups) {
    const auto before = earlier.thread_wakeups.find(thread);
    total += count - (before != earlier.thread_wakeups.end() ? before->second : 0);
  }
  return total;
}

long rss_kib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long value = -1;
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return -1;
}

}  // namespace wavorin::bench
