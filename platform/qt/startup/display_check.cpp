#include "platform/qt/startup/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/qt/startup/startup_messages.h"

namespace wavorin {

namespace {

const char* const kNoDisplay = QT_TRANSLATE_NOOP(
    "wavorin::StartupMessages",
    "wavorin: cannot open a window: no display found (DISPLAY and WAYLAND_DISPLAY name no running "
    "X server or Wayland compositor)");

const char* const kToolkitFailed = QT_TRANSLATE_NOOP(
    "wavorin::StartupMessages", "wavorin: cannot open a window: the toolkit failed to start: %1");

// Every line the toolkit prints is the program's own and begins "wavorin: ".
// Until the application object stands, a fatal message ends the program with
// status 1 instead of aborting: as "no display found" when the window system
// refused the connection, otherwise with the toolkit's own reason (a
// platform plugin that is missing or broken).
bool starting = false;
bool connection_refused = false;

void print_prefixed(const QString& text) {
  for (const QString& line : text.split(QLatin1Char('\n')))
    std::cerr << "wavorin: " << line.toLocal8Bit().toStdString() << '\n';
}

void print_toolkit_message(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
  const QLatin1String category(context.category != nullptr ? context.category : "");
  if (type == QtFatalMsg && starting) {
    if (connection_refused) {
      report_no_display(std::cerr);
    } else {
      // Its first line is the reason; the rest is advice for developers.
      const QString reason = message.section(QLatin1Char('\n'), 0, 0);
      std::cerr << StartupMessages().text(kToolkitFailed).arg(reason).toLocal8Bit().toStdString()
                << '\n';
    }
    std::cerr.flush();
    std::_Exit(1);
  }
  if (starting && category.startsWith(QLatin1String("qt.qpa.")) &&
      (message.contains(QLatin1String("could not connect to display"), Qt::CaseInsensitive) ||
       message.contains(QLatin1String("Failed to create wl_display"), Qt::CaseInsensitive))) {
    connection_refused = true;
  }
  print_prefixed(qFormatLogMessage(type, context, message));
  std::cerr.flush();
  if (type == QtFatalMsg) std::abort();
}

bool socket_accepts(const QByteArray& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  const auto length = static_cast<std::size_t>(path.size());
  if (offset + length >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.constData(), length);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + length);
  const bool reachable = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0;
  ::close(fd);
  return reachable;
}

}  // namespace

// A local display (":0", "unix:0.1") is a server listening on its socket;
// asking the server itself would cost a second connection handshake before
// the toolkit's own, so only remote displays are asked through the library.
bool x_server_reachable() {
  const QByteArray display = qgetenv("DISPLAY");
  if (display.isEmpty()) return false;
  const qsizetype colon = display.lastIndexOf(':');
  const QByteArray host = display.left(colon);
  if (colon >= 0 && (host.isEmpty() || host == "unix")) {
    bool number_ok = false;
    const int number = display.mid(colon + 1).split('.').constFirst().toInt(&number_ok);
    if (!number_ok || number < 0) return false;
    const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
    return socket_accepts(path, true) || socket_accepts(path, false);
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return reachable;
}

// The compositor's socket, as libwayland-client finds it: WAYLAND_DISPLAY
// ("wayland-0" when unset), relative to XDG_RUNTIME_DIR unless absolute.
bool wayland_reachable() {
  const QByteArray runtime_dir = qgetenv("XDG_RUNTIME_DIR");
  QByteArray name = qgetenv("WAYLAND_DISPLAY");
  if (name.isEmpty()) name = "wayland-0";
  if (!name.startsWith('/')) {
    if (runtime_dir.isEmpty()) return false;
    name = runtime_dir + '/' + name;
  }
  return socket_accepts(name, false);
}

bool display_reachable() {
  // QT_QPA_PLATFORM may list platforms to try in turn ("wayland;xcb"). One
  // chosen by hand that needs no display (offscreen, vnc, ...) is the user's
  // to judge; only the two desktop platforms are checked.
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  if (chosen.isEmpty()) return x_server_reachable() || wayland_reachable();
  for (const QByteArray& entry : chosen.split(';')) {
    const QByteArray platform = entry.split(':').constFirst().trimmed();
    if (platform == "xcb") {
      if (x_server_reachable()) return true;
    } else if (platform.startsWith("wayland")) {
      if (wayland_reachable()) return true;
    } else {
      return true;
    }
  }
  return false;
}

void report_no_display(std::ostream& err) {
  err << StartupMessages().text(kNoDisplay).toLocal8Bit().toStdString() << '\n';
}

DisplayFailureExit::DisplayFailureExit() {
  starting = true;
  qInstallMessageHandler(print_toolkit_message);
}

// The handler stays for the whole run, so later toolkit lines keep the prefix.
DisplayFailureExit::~DisplayFailureExit() { starting = false; }

}  // namespace wavorin
