#include "tests/e2e/desktop_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <cstdlib>
#include <memory>

namespace wavorin::e2e {
namespace {

constexpr int kStartMs = 30000;

QStringList programs_of(Shell shell) {
  switch (shell) {
    case Shell::Openbox:
      return {"Xvfb", "openbox"};
    case Shell::OpenboxPicom:
    case Shell::OpenboxPicomBare:
      return {"Xvfb", "openbox", "picom"};
    case Shell::OpenboxXcompmgr:
      return {"Xvfb", "openbox", "xcompmgr"};
    case Shell::Mutter:
      return {"Xvfb", "mutter"};
    case Shell::KWinX11:
      return {"Xvfb", "kwin_x11"};
    case Shell::KWinWayland:
      return {"kwin_wayland", "Xwayland"};
    case Shell::GnomeWayland:
      return GnomeSession::programs();
  }
  return {};
}

// picom with shadows as Debian's sample configuration draws them, and
// which windows it spares them, but without the sample's fading and its
// dimming of inactive windows, which would only make the screen change while
// the test looks at it.
constexpr char kPicomConfig[] = R"(backend = "xrender";
vsync = false;
shadow = true;
shadow-radius = 7;
shadow-offset-x = -7;
shadow-offset-y = -7;
shadow-exclude = [ "name = 'Notification'", "class_g = 'Conky'", "class_g ?= 'Notify-osd'",
                   "class_g = 'Cairo-clock'", "_GTK_FRAME_EXTENTS@:c" ];
fading = false;
inactive-opacity = 1.0;
log-level = "warn";
)";

bool x_says(const QString& program, const QStringList& args, const QString& needle) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(5000) &&
         QString::fromLocal8Bit(p.readAllStandardOutput()).contains(needle);
}

bool composited_by(const QString& name) {
  // Each owns the compositor selection with a window of its own name.
  return x_says("xwininfo", {"-root", "-tree"}, "\"" + name + "\"");
}

bool window_manager_ready() {
  return x_says("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, "window id");
}

// Whether the compositor selection of the display's first screen has an
// owner: a compositing manager draws the desktop.
bool compositor_selection_owned() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  static constexpr char kName[] = "_NET_WM_CM_S0";
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName),
                            nullptr),
      &std::free);
  const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
      atom == nullptr ? nullptr
                      : xcb_get_selection_owner_reply(
                            connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
      &std::free);
  const bool owned = owner != nullptr && owner->owner != XCB_NONE;
  xcb_disconnect(connection);
  return owned;
}

}  // namespace

QString DesktopSession::missing_programs(Shell shell) {
  QStringList missing;
  for (const QString& program : programs_of(shell))
    if (QStandardPaths::findExecutable(program).isEmpty()) missing << program;
  return missing.join(' ');
}

DesktopSession::DesktopSession(Shell shell) : shell_(shell), saved_display_(qgetenv("DISPLAY")) {
  QFile::setPermissions(runtime_.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  bus_ = std::make_unique<SessionBus>();
  if (!bus_->up()) {
    problem_ = "no session bus";
    return;
  }
  if (shell == Shell::KWinWayland) {
    if (!start_kwin()) return;
  } else if (shell == Shell::GnomeWayland) {
    gnome_ = std::make_unique<GnomeSession>(runtime_.path());
    problem_ = gnome_->start();
    if (!problem_.isEmpty()) return;
  } else {
    if (!start_x_server()) return;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("XDG_CONFIG_HOME", runtime_.filePath("config"));
    if (shell == Shell::Mutter) {
      if (!start(processes_.emplace_back(), "mutter", {"--x11", "--replace"}, env)) return;
    } else if (shell == Shell::KWinX11) {
      // Windows shown at once, without the fade in and out of its effects,
      // which would only make the screen change while the test looks at it.
      QDir().mkpath(runtime_.filePath("config"));
      QFile globals(runtime_.filePath("config/kdeglobals"));
      if (!globals.open(QIODevice::WriteOnly) ||
          globals.write("[KDE]\nAnimationDurationFactor=0\n") < 0) {
        problem_ = "cannot write kwin_x11's settings";
        return;
      }
      globals.close();
      if (!start(processes_.emplace_back(), "kwin_x11", {"--replace"}, env)) return;
      // It composites a moment after it manages windows.
      if (!Desktop::wait_until(compositor_selection_owned, kStartMs)) {
        problem_ = "kwin_x11 did not composite";
        return;
      }
    } else {
      if (!start(processes_.emplace_back(), "openbox", {}, env)) return;
    }
    if (!Desktop::wait_until(window_manager_ready, kStartMs)) {
      problem_ = "the window manager did not come up";
      return;
    }
    QStringList compositor;
    if (shell == Shell::OpenboxPicom) {
      QFile config(runtime_.filePath("picom.conf"));
      if (!config.open(QIODevice::WriteOnly) || config.write(kPicomConfig) < 0) {
        problem_ = "cannot write picom's configuration";
        return;
      }
      compositor = {"picom", "--config", config.fileName()};
    } else if (shell == Shell::OpenboxPicomBare) {
      // Shadows on every window, whatever it says of itself.
      compositor = {"picom", "--config", "/dev/null", "-c"};
    } else if (shell == Shell::OpenboxXcompmgr) {
      compositor = {"xcompmgr", "-c"};
    }
    if (!compositor.isEmpty()) {
      if (!start(processes_.emplace_back(), compositor.takeFirst(), compositor, env)) return;
      const QString name = QFileInfo(processes_.back()->program()).fileName();
      if (!Desktop::wait_until([&] { return composited_by(name); }, kStartMs)) {
        problem_ = name + " did not come up";
        return;
      }
    }
  }
  if (shell == Shell::KWinWayland || shell == Shell::GnomeWayland)
    Desktop::set_screenshot_source([this] { return screenshot(); });
}

DesktopSession::~DesktopSession() {
  Desktop::set_screenshot_source({});
  for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
    (*it)->terminate();
    if (!(*it)->waitForFinished(5000)) {
      (*it)->kill();
      (*it)->waitForFinished(5000);
    }
  }
  bus_.reset();
  gnome_.reset();
  if (saved_display_.isEmpty()) {
    qunsetenv("DISPLAY");
  } else {
    qputenv("DISPLAY", saved_display_);
  }
}

bool DesktopSession::start(std::unique_ptr<QProcess>& process, const QString& program,
                           const QStringList& args, const QProcessEnvironment& env) {
  process = std::make_unique<QProcess>();
  process->setProcessEnvironment(env);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(runtime_.filePath(QFileInfo(program).fileName() + ".log"));
  process->start(program, args);
  if (process->waitForStarted(10000)) return true;
  problem_ = program + " did not start";
  return false;
}

bool DesktopSession::start_x_server() {
  // Xvfb chooses a free display number and writes it out once it takes
  // connections.
  auto& xvfb = processes_.emplace_back(std::make_unique<QProcess>());
  xvfb->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-dpi", "96", "-noreset",
                       "-nolisten", "tcp"});
  QByteArray number;
  QElapsedTimer clock;
  clock.start();
  while (!number.endsWith('\n') && clock.elapsed() < kStartMs &&
         xvfb->state() != QProcess::NotRunning) {
    xvfb->waitForReadyRead(200);
    number += xvfb->readAllStandardOutput();
  }
  if (!number.endsWith('\n')) {
    problem_ = "Xvfb did not come up";
    return false;
  }
  qputenv("DISPLAY", ":" + number.trimmed());
  return true;
}

bool DesktopSession::start_kwin() {
  // XWayland listens in the usual folder for X sockets, which a machine
  // without any X server so far may lack.
  ::mkdir("/tmp/.X11-unix", 01777);
  // The installed kwin_wayland carries a file capability that a test run as
  // root may not use; a plain copy carries none.
  const QString kwin = runtime_.filePath("kwin_wayland");
  const QString tell = runtime_.filePath("tell-display");
  QFile script(tell);
  if (!QFile::copy(QStandardPaths::findExecutable("kwin_wayland"), kwin) ||
      !script.open(QIODevice::WriteOnly) ||
      script.write("#!/bin/sh\necho \"$DISPLAY\" > \"$XDG_RUNTIME_DIR/display\"\n") < 0) {
    problem_ = "cannot prepare kwin_wayland's folder";
    return false;
  }
  script.close();
  for (const QString& file : {kwin, tell})
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("XDG_RUNTIME_DIR", runtime_.path());
  env.insert("XDG_CONFIG_HOME", runtime_.filePath("config"));
  // A private session: screenshots and fake input for the test's own tools.
  env.insert("KWIN_SCREENSHOT_NO_PERMISSION_CHECKS", "1");
  env.insert("KWIN_WAYLAND_NO_PERMISSION_CHECKS", "1");
  // kwin starts the given program once Wayland and XWayland take clients.
  if (!start(processes_.emplace_back(), kwin,
             {"--virtual", "--xwayland", "--socket", "wayland-wavorin", "--no-lockscreen",
              "--no-global-shortcuts", "--no-kactivities", tell},
             env))
    return false;
  QFile display(runtime_.filePath("display"));
  if (!Desktop::wait_until([&] { return display.exists() && display.size() > 1; }, kStartMs) ||
      !display.open(QIODevice::ReadOnly)) {
    problem_ = "kwin_wayland's XWayland did not come up";
    return false;
  }
  qputenv("DISPLAY", display.readAll().trimmed());
  if (!Desktop::wait_until([&] { return !screenshot().isNull(); }, kStartMs)) {
    problem_ = "kwin_wayland takes no screenshots";
    return false;
  }
  return true;
}

QImage DesktopSession::screenshot() const {
  if (gnome_) return gnome_->screenshot();
  // Only the compositors' own sources are installed, so this does not come
  // back here.
  if (shell_ != Shell::KWinWayland) return Desktop::screenshot();
  const QString file = runtime_.filePath("screen.ppm");
  QFile::remove(file);
  QProcess shooter;
  shooter.start("/usr/bin/python3", {WAVORIN_E2E_DIR "/kwin_screenshot.py", file});
  shooter.waitForFinished(30000);
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

void DesktopSession::pointer(const QStringList& commands) const {
  if (shell_ == Shell::GnomeWayland) {
    EXPECT_EQ(gnome_->helper(QStringList{"pointer"} + commands), 0);
    return;
  }
  if (shell_ != Shell::KWinWayland) {
    for (int i = 0; i < commands.size(); ++i) {
      if (commands[i] == "move") {
        Desktop::move_pointer({commands[i + 1].toInt(), commands[i + 2].toInt()});
        i += 2;
      } else if (commands[i] == "down") {
        Desktop::button_down(1);
      } else {
        Desktop::button_up(1);
      }
    }
    return;
  }
  QProcess pointer;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", runtime_.path());
  env.insert("WAYLAND_DISPLAY", "wayland-wavorin");
  pointer.setProcessEnvironment(env);
  pointer.start(WAVORIN_KWIN_POINTER, commands);
  pointer.waitForFinished(30000);
  EXPECT_EQ(pointer.exitCode(), 0) << pointer.readAllStandardError().toStdString();
}

void DesktopSession::drag(QPoint from, QPoint by) const {
  QStringList commands = {"move", QString::number(from.x()), QString::number(from.y()), "down"};
  if (shell_ != Shell::KWinWayland && shell_ != Shell::GnomeWayland) {
    // On X11 the window manager takes the move over a little after the
    // press (the program asks it to); a hand moves only after a moment,
    // which a busy window manager needs, or it misses the first steps.
    pointer(commands);
    QThread::msleep(150);
    commands.clear();
  }
  for (int step = 1; step <= 5; ++step) {
    const QPoint to = from + by * step / 5;
    commands << "move" << QString::number(to.x()) << QString::number(to.y());
  }
  pointer(commands << "up");
}

void DesktopSession::click(QPoint at) const {
  pointer({"move", QString::number(at.x()), QString::number(at.y()), "down", "up"});
}

}  // namespace wavorin::e2e
