#include "tests/e2e/program.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <utility>

#include "tests/e2e/desktop.h"

namespace wavorin::e2e {

void write_wave(const QString& path, const std::vector<std::int16_t>& samples) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
  sf_writef_short(f, samples.data(), static_cast<sf_count_t>(samples.size() / 2));
  sf_close(f);
}

std::vector<std::int16_t> read_wave(const QString& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (f == nullptr) return {};
  std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_short(f, samples.data(), info.frames);
  sf_close(f);
  return samples;
}

std::vector<std::int16_t> marker_tone(double seconds, int seed) {
  const auto frames = static_cast<std::size_t>(seconds * 44100);
  std::vector<std::int16_t> s(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    const double v = std::sin(static_cast<double>(i) * (0.03 + 0.01 * seed)) * 8000.0;
    s[2 * i] = static_cast<std::int16_t>(v + static_cast<double>(i % 97));
    s[2 * i + 1] = static_cast<std::int16_t>(-v + seed);
  }
  return s;
}

std::vector<std::int16_t> surely_heard(const std::vector<std::int16_t>& sound) {
  const std::size_t skip = test::sound_server().empty() ? 0 : 2 * 1323;  // 30 ms
  if (sound.size() <= skip) return {};
  return {sound.begin() + static_cast<long>(skip), sound.end()};
}

long find_samples(const std::vector<std::int16_t>& haystack,
                  const std::vector<std::int16_t>& needle, long from) {
  if (needle.empty() || haystack.size() < needle.size()) return -1;
  const auto it =
      std::search(haystack.begin() + from, haystack.end(), needle.begin(), needle.end());
  return it == haystack.end() ? -1 : static_cast<long>(it - haystack.begin());
}

Program::Program() {
  const QFileInfo exe(QStringLiteral(WAVORIN_EXE));
  QFile::copy(exe.filePath(), install_.filePath("wavorin"));
  QFile(install_.filePath("wavorin"))
      .setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  for (const char* file : {"click.wav", "dummy.wav", "sample1.wav", "libwavorin-sound.so"})
    QFile::copy(exe.dir().filePath(file), install_.filePath(file));
}

Program::~Program() { kill(); }

QString Program::settings_file() const { return config_.filePath("Wavorin/Wavorin.ini"); }

void Program::replace_sound(const QString& name, const std::vector<std::int16_t>& samples) {
  QFile::remove(install_.filePath(name));
  write_wave(install_.filePath(name), samples);
}

void Program::write_setting(const QString& key, const QString& value) {
  QSettings s(settings_file(), QSettings::IniFormat);
  s.setValue("Option/" + key, value);
}

QString Program::read_setting(const QString& key) const {
  QSettings s(settings_file(), QSettings::IniFormat);
  return s.value("Option/" + key, "<absent>").toString();
}

bool Program::start(const QByteArray& file) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", config_.path());
  if (test::sound_server().empty()) {
    env.insert("SDL_AUDIODRIVER", "disk");
    env.insert("SDL_DISKAUDIOFILE", install_.filePath("out.raw"));
  } else {
    env.remove("SDL_AUDIODRIVER");
    if (!recording_) {
      recording_ = std::make_unique<test::MonitorRecording>(
          WAVORIN_MONITOR_RECORDER, QFile::encodeName(install_.filePath("out.raw")).toStdString());
    }
    if (!recording_->recording() && !recording_->start(keep_sink_awake_)) return false;
  }
  env.remove("QT_QPA_PLATFORM");
  env.insert(env_);
  process_.setProcessEnvironment(env);
  if (file.isEmpty()) {
    process_.start(install_.filePath("wavorin"), {});
  } else {
    // QProcess would pass the name as UTF-8: the shell's printf writes its
    // bytes, escaped here as octal, and execs the program in its place.
    QString escaped;
    for (const char byte : file)
      escaped += QString::asprintf("\\0%03o", static_cast<unsigned char>(byte));
    process_.start("/bin/sh", {"-c", "exec \"$0\" \"$(printf '%b' \"$1\")\"",
                               install_.filePath("wavorin"), escaped});
  }
  if (!process_.waitForStarted(10000)) return false;
  window_ = Desktop::find_window("^Form1$", process_.processId());
  if (window_.isEmpty()) return false;
  Desktop::wait_until_still();
  return true;
}

void Program::kill() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

int Program::wait_for_exit(int timeout_ms) {
  if (!process_.waitForFinished(timeout_ms)) return -1;
  return process_.exitCode();
}

QString Program::wait_for_dialog(const QString& title_regex) const {
  QString dialog;
  // The search can list the main window too while the dialog is up.
  Desktop::wait_until([&] {
    const QStringList found = Desktop::run("xdotool",
                                           {"search", "--onlyvisible", "--pid",
                                            QString::number(pid()), "--name", title_regex},
                                           true)
                                  .split('\n', Qt::SkipEmptyParts);
    dialog.clear();
    for (const QString& id : found)
      if (id.trimmed() != window_) dialog = id.trimmed();
    return !dialog.isEmpty();
  });
  // Keys go to the input focus, which may follow the window manager's active
  // window a moment later.
  const bool ready = !dialog.isEmpty() && Desktop::wait_until([&] {
    return Desktop::run("xdotool", {"getactivewindow"}, true).trimmed() == dialog &&
           Desktop::run("xdotool", {"getwindowfocus"}, true).trimmed() == dialog;
  }) && !Desktop::wait_until_still().isNull();
  return ready ? dialog : QString();
}

QRect Program::window_rect() const {
  const QRect outer = Desktop::window_rect(window_);
  // "_GTK_FRAME_EXTENTS(CARDINAL) = 20, 20, 20, 20": left, right, top, bottom.
  const QString extents = Desktop::run("xprop", {"-id", window_, "_GTK_FRAME_EXTENTS"}, true);
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
  if (!m.hasMatch()) return outer;
  return outer.adjusted(m.captured(1).toInt(), m.captured(3).toInt(), -m.captured(2).toInt(),
                        -m.captured(4).toInt());
}

QPoint Program::at(int x, int y) const { return window_rect().topLeft() + QPoint(x, y); }

std::vector<std::int16_t> Program::audio() const {
  QFile f(install_.filePath("out.raw"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.readAll();
  std::vector<std::int16_t> s(static_cast<std::size_t>(bytes.size()) / 2);
  std::memcpy(s.data(), bytes.constData(), s.size() * 2);
  return s;
}

long Program::wait_for_samples(const std::vector<std::int16_t>& needle, long from,
                               int timeout_ms) const {
  long at = -1;
  Desktop::wait_until(
      [&] {
        const auto out = audio();
        at = from <= static_cast<long>(out.size()) ? find_samples(out, needle, from) : -1;
        return at >= 0;
      },
      timeout_ms);
  return at;
}

bool Program::silent_after(const std::vector<std::int16_t>& sound, long from) const {
  constexpr long kThird = 44100 * 2 / 3;  // interleaved stereo samples
  std::vector<std::int16_t> out;
  long end = -1;
  QElapsedTimer still;
  still.start();
  const bool seen = Desktop::wait_until([&] {
    auto now = audio();
    if (now.size() != out.size()) still.restart();
    out = std::move(now);
    const long at = find_samples(out, sound, from);
    end = at < 0 ? -1 : at + static_cast<long>(sound.size());
    return end >= 0 && (still.elapsed() >= 150 || static_cast<long>(out.size()) >= end + kThird);
  });
  return seen &&
         std::all_of(out.begin() + end,
                     out.begin() + std::min<long>(end + kThird, static_cast<long>(out.size())),
                     [](std::int16_t s) { return s == 0; });
}

long Program::wait_for_samples_after(const std::vector<std::int16_t>& needle,
                                     const std::vector<std::int16_t>& earlier,
                                     int timeout_ms) const {
  long at = -1;
  Desktop::wait_until(
      [&] {
        const auto out = audio();
        at = find_samples(out, needle, output_after(earlier, out));
        return at >= 0;
      },
      timeout_ms);
  return at;
}

long output_after(const std::vector<std::int16_t>& earlier, const std::vector<std::int16_t>& now) {
  const bool continued =
      now.size() >= earlier.size() && std::equal(earlier.begin(), earlier.end(), now.begin());
  return continued ? static_cast<long>(earlier.size()) : 0;
}

QByteArray Program::errors() { return process_.readAllStandardError(); }

}  // namespace wavorin::e2e
