#include "bench/proc/process_reader.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

namespace wavorin::bench {
namespace {

std::string folder_of(pid_t pid) { return "/proc/" + std::to_string(pid); }

// The numbers after each of `keys` in a status file, summed; -1 if the file
// cannot be read or holds none of them.
long long status_sum(const std::string& path, std::initializer_list<const char*> keys) {
  std::ifstream status(path);
  std::string key;
  long long total = -1;
  while (status >> key) {
    for (const char* wanted : keys) {
      if (key.size() == std::char_traits<char>::length(wanted) + 1 && key.back() == ':' &&
          key.compare(0, key.size() - 1, wanted) == 0) {
        long long value = 0;
        status >> value;
        total = (total < 0 ? 0 : total) + value;
      }
    }
    status.ignore(1 << 10, '\n');
  }
  return total;
}

template <typename Each>
long long for_each_entry(const std::string& folder, Each each) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return -1;
  long long count = 0;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    ++count;
    each(std::string(entry->d_name));
  }
  closedir(dir);
  return count;
}

}  // namespace

double cpu_seconds(pid_t pid) {
  std::ifstream file(folder_of(pid) + "/stat");
  const std::string stat{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // The command name, in parentheses, may hold spaces: fields are counted
  // from the last ')'. utime and stime are fields 14 and 15, in clock ticks,
  // for all threads.
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string skipped;
  for (int field = 3; field < 14; ++field) fields >> skipped;
  long long utime = -1;
  long long stime = -1;
  fields >> utime >> stime;
  if (utime < 0 || stime < 0) return -1;
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long long status_number(pid_t pid, const std::string& key) {
  return status_sum(folder_of(pid) + "/status", {key.c_str()});
}

long long open_files(pid_t pid) {
  return for_each_entry(folder_of(pid) + "/fd", [](const std::string&) {});
}

ProcessUse ProcessUse::of(pid_t pid) {
  ProcessUse use;
  use.cpu_seconds = bench::cpu_seconds(pid);
  const std::string tasks = folder_of(pid) + "/task/";
  for_each_entry(tasks, [&](const std::string& thread) {
    use.thread_wakeups[thread] = status_sum(
        tasks + thread + "/status", {"voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"});
  });
  return use;
}

long long ProcessUse::wakeups_since(const ProcessUse& earlier) const {
  long long total = 0;
  for (const auto& [thread, count] : thread_wakeups) {
    if (count < 0) continue;
    const auto before = earlier.thread_wakeups.find(thread);
    total += count - (before != earlier.thread_wakeups.end() ? std::max(before->second, 0LL) : 0);
  }
  return total;
}

}  // namespace wavorin::bench
