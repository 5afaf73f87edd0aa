#include "tests/platform/sound/monitor_recording.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

extern char** environ;

namespace wavorin::test {

std::string sound_server() {
  const char* kind = std::getenv("WAVORIN_SOUND_SERVER");
  return kind != nullptr ? kind : "";
}

bool control_sound_server(const std::string& action) {
  const char* ctl = std::getenv("WAVORIN_SOUND_SERVER_CTL");
  if (ctl == nullptr) return false;
  const std::string command = std::string(ctl) + " " + action + " >/dev/null";
  return std::system(command.c_str()) == 0;
}

namespace {

// PipeWire runs its whole graph in the shortest piece any client asks for.
// At 5 ms (128-frame cycles) a busy machine's server mixes silence for whole
// cycles now and then, for any client's stream (pacat's too); at 12 ms
// (512-frame cycles, as for the program's own short buffer) it does not.
unsigned piece_ms() { return sound_server() == "pipewire" ? 12 : 5; }

}  // namespace

std::size_t MonitorRecording::piece_frames() { return std::size_t{piece_ms()} * 441 / 10; }

MonitorRecording::MonitorRecording(std::string recorder, std::string file)
    : recorder_(std::move(recorder)), file_(std::move(file)) {}

MonitorRecording::~MonitorRecording() { stop(); }

bool MonitorRecording::start(bool keep_awake) {
  stop();
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  std::string program = recorder_;
  std::string awake = "--keep-awake";
  std::string file = file_;
  std::string piece_option = "--piece-ms";
  std::string piece = std::to_string(piece_ms());
  std::vector<char*> argv{program.data(), piece_option.data(), piece.data()};
  if (keep_awake) argv.push_back(awake.data());
  argv.push_back(file.data());
  argv.push_back(nullptr);
  const int failed = posix_spawn(&pid_, recorder_.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (failed != 0) {
    pid_ = -1;
    close(out[0]);
    return false;
  }
  // It says "recording" once its stream is up; a server still coming up may
  // take seconds.
  pollfd ready{out[0], POLLIN, 0};
  char line[16] = {};
  const bool up = poll(&ready, 1, 10000) == 1 && read(out[0], line, sizeof line - 1) > 0 &&
                  std::string(line).starts_with("recording");
  close(out[0]);
  if (!up) stop();
  return up;
}

void MonitorRecording::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool MonitorRecording::recording() const {
  return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

std::vector<std::int16_t> MonitorRecording::samples(std::size_t from) const {
  std::ifstream in(file_, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const auto frames = static_cast<std::size_t>(in.tellg()) / 4;
  if (frames <= from) return {};
  std::vector<std::int16_t> samples((frames - from) * 2);
  in.seekg(static_cast<std::streamoff>(from * 4));
  in.read(reinterpret_cast<char*>(samples.data()),
          static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
  return samples;
}

std::size_t MonitorRecording::frames() const {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(file_, error);
  return error ? 0 : static_cast<std::size_t>(bytes / 4);
}

}  // namespace wavorin::test
