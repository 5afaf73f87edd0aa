#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/platform/sound/monitor_recording.h"

namespace wavorin::e2e {

// Writes a 44.1 kHz 16-bit stereo wave file of `samples` interleaved values.
void write_wave(const QString& path, const std::vector<std::int16_t>& samples);
// Interleaved samples of a wave file as the device would get them.
std::vector<std::int16_t> read_wave(const QString& path);
// A recognisable tone: a ramp of distinct values, so its place in the
// device's output can be found exactly.
std::vector<std::int16_t> marker_tone(double seconds, int seed);

// One installed copy of the program in a folder of its own, with its own
// settings folder and what it plays written to a file: by SDL's disk driver,
// or, beside a private sound server (scripts/with-sound-server.sh), by a
// recorder of the server's sink, the program choosing its output as on a
// desktop.
class Program {
 public:
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  QString folder() const { return install_.path(); }
  QString settings_file() const;
  // Replaces one of the sounds beside the program.
  void replace_sound(const QString& name, const std::vector<std::int16_t>& samples);
  void write_setting(const QString& key, const QString& value);
  QString read_setting(const QString& key) const;

  // An environment variable for the next start, over the test's own.
  void set_env(const QString& name, const QString& value) { env_.insert(name, value); }
  // Beside a sound server: lets its sink suspend when nothing plays, as on a
  // desktop, instead of keeping it awake for an exact recording. Call before
  // start().
  void let_sink_suspend() { keep_sink_awake_ = false; }
  // Starts it and waits until its window is mapped; returns false if not.
  // With `file`, that file is given on its command line, byte for byte.
  bool start(const QByteArray& file = {});
  void kill();
  // Waits for the program to end by itself; returns its exit code or -1.
  int wait_for_exit(int timeout_ms = 10000);
  bool running() const { return process_.state() != QProcess::NotRunning; }
  qint64 pid() const { return process_.processId(); }

  QString window_id() const { return window_; }
  // Waits until one of its dialogs titled `title_regex` is shown, active and
  // drawn, so it takes keys; returns its window, or an empty id on timeout.
  QString wait_for_dialog(const QString& title_regex) const;
  // The cabinet on the screen: the window less the margin it tells the
  // desktop it draws its shadow in.
  QRect window_rect() const;
  // A point of the window's inside, in screen coordinates.
  QPoint at(int x, int y) const;
  std::vector<std::int16_t> audio() const;
  // Waits until `needle` has been played at or after sample `from`; returns
  // where it starts, or -1 on timeout.
  long wait_for_samples(const std::vector<std::int16_t>& needle, long from = 0,
                        int timeout_ms = 5000) const;
  // The same, for a sound played after the output was `earlier`.
  long wait_for_samples_after(const std::vector<std::int16_t>& needle,
                              const std::vector<std::int16_t>& earlier,
                              int timeout_ms = 5000) const;
  // Waits for `sound` at or after sample `from`, then for the device to go
  // idle (it takes no samples for a sixth of a second) or a third of a second
  // of output past the sound (a sink's monitor records silence too); whether
  // what came after the sound is silent. A sound it did not end, or one
  // started after it, would be heard there.
  bool silent_after(const std::vector<std::int16_t>& sound, long from) const;
  QByteArray errors();

 private:
  QTemporaryDir install_;
  QTemporaryDir config_;
  QProcess process_;
  QProcessEnvironment env_;
  QString window_;
  bool keep_sink_awake_ = true;
  std::unique_ptr<test::MonitorRecording> recording_;
};

// Where the output that came after `earlier` begins in `now`: at its end, or
// at 0 when the device was closed and opened again in between, which starts
// its file afresh.
long output_after(const std::vector<std::int16_t>& earlier, const std::vector<std::int16_t>& now);

// The part of `sound` that the output file surely holds. A sound server's
// sink that wakes for a new stream gives its monitor nothing of the first
// milliseconds (up to about 25 ms on PulseAudio's null sink): the recording
// lacks them. SDL's disk driver writes everything.
std::vector<std::int16_t> surely_heard(const std::vector<std::int16_t>& sound);

// Where `needle` starts in `haystack`, or -1.
long find_samples(const std::vector<std::int16_t>& haystack,
                  const std::vector<std::int16_t>& needle, long from = 0);

}  // namespace wavorin::e2e
