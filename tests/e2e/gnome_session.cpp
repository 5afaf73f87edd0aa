#include "tests/e2e/gnome_session.h"

#include <QFile>
#include <QRegularExpression>

#include "tests/e2e/desktop.h"

namespace wavorin::e2e {
namespace {

constexpr int kStartMs = 30000;

}  // namespace

GnomeSession::~GnomeSession() {
  for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
    (*it)->terminate();
    if (!(*it)->waitForFinished(5000)) {
      (*it)->kill();
      (*it)->waitForFinished(5000);
    }
  }
  if (!xauthority_set_) return;
  if (saved_xauthority_.isEmpty()) {
    qunsetenv("XAUTHORITY");
  } else {
    qputenv("XAUTHORITY", saved_xauthority_);
  }
}

bool GnomeSession::start(const QString& program, const QStringList& args,
                         const QProcessEnvironment& env) {
  QProcess& process = *processes_.emplace_back(std::make_unique<QProcess>());
  process.setProcessEnvironment(env);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(runtime_.filePath(program + ".log"));
  process.start(program, args);
  return process.waitForStarted(10000);
}

QString GnomeSession::start() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("XDG_RUNTIME_DIR", runtime_.path());
  env.insert("XDG_CONFIG_HOME", runtime_.filePath("config"));
  // gnome-shell asks logind on the system bus for the session; a bus of its
  // own with nobody on it lets it carry on without one.
  QProcess& system_bus = *processes_.emplace_back(std::make_unique<QProcess>());
  system_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
  QByteArray address;
  if (!Desktop::wait_until(
          [&] {
            system_bus.waitForReadyRead(100);
            address += system_bus.readAllStandardOutput();
            return address.endsWith('\n');
          },
          kStartMs)) {
    return "no bus for gnome-shell's system services";
  }
  env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromLocal8Bit(address.trimmed()));
  // Mutter's screen cast streams, which name the places of pointer moves.
  if (!start("pipewire", {}, env)) return "pipewire did not start";
  if (!start("gnome-shell",
             {"--wayland", "--headless", "--virtual-monitor", "1280x800", "--wayland-display",
              "wayland-wavorin"},
             env))
    return "gnome-shell did not start";
  // Mutter starts XWayland at once and says which display it serves; X
  // clients then need the key it wrote beside it.
  QFile log(runtime_.filePath("gnome-shell.log"));
  QString said;
  QString display;
  if (!Desktop::wait_until(
          [&] {
            if (!log.isOpen() && !log.open(QIODevice::ReadOnly)) return false;
            said += QString::fromLocal8Bit(log.readAll());
            const QRegularExpressionMatch found =
                QRegularExpression(QStringLiteral("Using public X11 display (:\\d+)")).match(said);
            if (found.hasMatch()) display = found.captured(1);
            return !display.isEmpty();
          },
          kStartMs)) {
    return "gnome-shell's XWayland did not come up";
  }
  const QStringList keys =
      QDir(runtime_.path()).entryList({".mutter-Xwaylandauth.*"}, QDir::Files | QDir::Hidden);
  if (keys.isEmpty()) {
    return "gnome-shell's XWayland left no key";
  }
  qputenv("DISPLAY", display.toLocal8Bit());
  saved_xauthority_ = qgetenv("XAUTHORITY");
  xauthority_set_ = true;
  qputenv("XAUTHORITY", QFile::encodeName(runtime_.filePath(keys.first())));
  // The shell starts in its overview, where windows are only pictures of
  // themselves; Escape leaves it. The shell then takes screenshots.
  if (!Desktop::wait_until(
          [&] {
            return helper({"pointer", "key", "0xff1b"}) == 0;
          },
          kStartMs) ||
      !Desktop::wait_until([&] { return !screenshot().isNull(); }, kStartMs) ||
      !Desktop::wait_until(
          [] {
            return Desktop::run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, true)
                .contains("window id");
          },
          kStartMs)) {
    return "gnome-shell takes no input or screenshots";
  }
  return {};
}

int GnomeSession::helper(const QStringList& args) const {
  QProcess helper;
  helper.start("/usr/bin/python3", QStringList{WAVORIN_E2E_DIR "/gnome_shell.py"} + args);
  if (!helper.waitForFinished(30000)) return -1;
  return helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1;
}

QImage GnomeSession::screenshot() const {
  const QString file = runtime_.filePath("screen.png");
  QFile::remove(file);
  if (helper({"screenshot", file}) != 0) return {};
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

}  // namespace wavorin::e2e
