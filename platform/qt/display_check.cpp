#include "platform/qt/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/qt/startup_messages.h"

namespace wavorin {

namespace {

const char* const kNoDisplay = QT_TRANSLATE_NOOP(
    "wavorin::StartupMessages",
    "wavorin: cannot open a window: no display found (DISPLAY and WAYLAND_DISPLAY name no running "
    "X server or Wayland compositor)");

QtMessageHandler toolkit_handler = nullptr;

void exit_on_fatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (toolkit_handler != nullptr) toolkit_handler(type, context, message);
    return;
  }
  report_no_display(std::cerr);
  std::cerr.flush();
  std::_Exit(1);
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
  toolkit_handler = qInstallMessageHandler(exit_on_fatal);
}

DisplayFailureExit::~DisplayFailureExit() { qInstallMessageHandler(toolkit_handler); }

}  // namespace wavorin
