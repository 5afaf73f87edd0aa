#include "bench/sound/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "bench/proc/process_reader.h"

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

long ChildProcess::peak_rss_kib() const {
  return pid_ <= 0 ? -1 : static_cast<long>(status_number(pid_, "VmHWM"));
}

double ChildProcess::cpu_seconds() const { return pid_ <= 0 ? -1 : bench::cpu_seconds(pid_); }

}  // namespace wavorin::bench
