#include "bench/sound/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

extern char** environ;

namespace wavorin::bench {

namespace {

std::vector<std::string> merged_environment(const ChildProcess::Environment& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string key = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const auto& [name, value] : extra) replaced = replaced || name == key;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [name, value] : extra)
    env.push_back(std::string(name).append("=").append(value));
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  result.reserve(strings.size() + 1);
  for (auto& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& extra_env,
                           const std::string& stdout_path) {
  // Everything the child needs is built before fork(): the parent has other
  // threads, so the child may only make async-signal-safe calls.
  std::vector<std::string> args = argv;
  std::vector<std::string> env = merged_environment(extra_env);
  const std::vector<char*> arg_ptrs = pointers(args);
  const std::vector<char*> env_ptrs = pointers(env);
  started_ = Clock::now();
  pid_ = ::fork();
  if (pid_ == 0) {
    // Opening a FIFO for writing waits here, in the child, for its reader.
    const int out = ::open(stdout_path.c_str(), O_WRONLY);
    const int null = ::open("/dev/null", O_WRONLY);
    if (out >= 0) ::dup2(out, STDOUT_FILENO);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    ::execvpe(arg_ptrs[0], arg_ptrs.data(), env_ptrs.data());
    ::_exit(127);
  }
  if (pid_ < 0) std::perror("fork");
}

ChildProcess::~ChildProcess() {
  if (!running()) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 100 && running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (running()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool ChildProcess::running() {
  if (pid_ <= 0) return false;
  if (::waitpid(pid_, nullptr, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

long peak_rss_kib_from(const std::string& proc_status_path) {
  std::ifstream status(proc_status_path);
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return -1;
}

long ChildProcess::peak_rss_kib() const {
  if (pid_ <= 0) return -1;
  return peak_rss_kib_from("/proc/" + std::to_string(pid_) + "/status");
}

double ChildProcess::cpu_seconds() const {
  if (pid_ <= 0) return -1;
  std::ifstream file("/proc/" + std::to_string(pid_) + "/stat");
  const std::string stat{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // The command name, in parentheses, may hold spaces: fields are counted
  // from the last ')'. utime and stime are fields 14 and 15, in clock ticks.
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string skipped;
  for (int field = 3; field < 14; ++field) fields >> skipped;
  long long utime = 0;
  long long stime = 0;
  fields >> utime >> stime;
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

}  // namespace wavorin::bench
