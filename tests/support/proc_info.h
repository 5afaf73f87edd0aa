#pragma once

// What Linux tells of a running process under /proc, for the tests that check
// its resources: memory, open descriptors, threads, loaded libraries. `pid`
// kSelf is the test's own process. Every reader answers -1 (or false) once
// the process has gone.
#include <dirent.h>

#include <fstream>
#include <string>

namespace wavorin::test::proc {

constexpr long kSelf = 0;

inline std::string path(long pid, const std::string& entry) {
  return (pid == kSelf ? std::string("/proc/self") : "/proc/" + std::to_string(pid)) + "/" + entry;
}

// A size line of the process's status in KiB: "VmRSS" resident now, "VmHWM"
// its peak so far.
inline long status_kib(long pid, const std::string& key) {
  std::ifstream status(path(pid, "status"));
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, key.size() + 1, key + ":") == 0)
      return std::stol(line.substr(key.size() + 1));
  }
  return -1;
}

// The entries of one of the process's folders: "fd" its open descriptors,
// "task" its threads.
inline int entries(long pid, const std::string& folder) {
  DIR* dir = opendir(path(pid, folder).c_str());
  if (dir == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
  closedir(dir);
  return count;
}

// Whether a file whose path holds `name` is mapped into the process.
inline bool maps(long pid, const std::string& name) {
  std::ifstream maps(path(pid, "maps"));
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(name) != std::string::npos) return true;
  }
  return false;
}

}  // namespace wavorin::test::proc
