#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wavorin::test {

// The private sound server the tests may run beside
// (scripts/with-sound-server.sh): "pulseaudio", "pipewire", or empty when
// they run on SDL's disk driver.
std::string sound_server();
// Kills ("kill"), starts ("start") or kills and starts ("restart") that
// server; returns whether it answers afterwards as asked.
bool control_sound_server(const std::string& action);

// What the server's sink plays, recorded from its monitor into `file` (raw
// 16-bit 44.1 kHz stereo) by wavorin_monitor_recorder. Appends to the file.
// A sink only records what it mixes: while it is suspended, nothing; as it
// wakes, its monitor may miss the first milliseconds.
class MonitorRecording {
 public:
  MonitorRecording(std::string recorder, std::string file);
  ~MonitorRecording();
  MonitorRecording(const MonitorRecording&) = delete;
  MonitorRecording& operator=(const MonitorRecording&) = delete;

  // Starts the recorder (again, after the server came back); true once it
  // records. Unless `keep_awake`, the sink suspends when nothing plays, as on
  // a desktop; kept awake it mixes silence in small pieces throughout, so
  // the recording's length follows the clock.
  bool start(bool keep_awake = false);
  void stop();
  bool recording() const;
  // What was heard from frame `from` on, and the length so far in frames.
  std::vector<std::int16_t> samples(std::size_t from = 0) const;
  std::size_t frames() const;
  // The pieces the monitor reaches the file in, in frames: what the sink
  // mixed just before a moment may be in the file only that much later.
  static std::size_t piece_frames();

 private:
  std::string recorder_;
  std::string file_;
  pid_t pid_ = -1;
};

}  // namespace wavorin::test
