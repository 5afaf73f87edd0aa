#include "bench/sound/server_state.h"

#include <cstdio>
#include <string>

namespace wavorin::bench {
namespace {

// Standard output of a shell command, or nothing when it could not start.
bool read_command(const char* command, std::string& text) {
  FILE* out = popen(command, "r");
  if (out == nullptr) return false;
  char buffer[4096];
  while (const std::size_t n = fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
  return pclose(out) == 0;
}

}  // namespace

int uncorked_streams(pid_t pid) {
  std::string text;
  if (!read_command("pactl list sink-inputs 2>/dev/null", text)) return -1;
  int count = 0;
  const std::string ours = "application.process.id = \"" + std::to_string(pid) + "\"";
  for (std::size_t at = text.find("Sink Input #"); at != std::string::npos;) {
    const std::size_t next = text.find("Sink Input #", at + 1);
    const std::string input = text.substr(at, next - at);
    if (input.find(ours) != std::string::npos && input.find("Corked: no") != std::string::npos)
      ++count;
    at = next;
  }
  return count;
}

bool default_sink_suspended() {
  std::string sink;
  if (!read_command("pactl get-default-sink 2>/dev/null", sink)) return false;
  while (!sink.empty() && (sink.back() == '\n' || sink.back() == ' ')) sink.pop_back();
  std::string sinks;
  if (!read_command("pactl list sinks short 2>/dev/null", sinks)) return false;
  // "<index>\t<name>\t<driver>\t<format>\t<state>" a line.
  for (std::size_t at = 0; at < sinks.size();) {
    std::size_t end = sinks.find('\n', at);
    if (end == std::string::npos) end = sinks.size();
    const std::string line = sinks.substr(at, end - at);
    if (line.find("\t" + sink + "\t") != std::string::npos) {
      return line.find("SUSPENDED") != std::string::npos;
    }
    at = end + 1;
  }
  return false;
}

}  // namespace wavorin::bench
