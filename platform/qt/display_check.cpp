#include "platform/qt/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstring>

#include "platform/qt/startup_messages.h"

namespace wavorin {

namespace {

const char* const kNoDisplay = QT_TRANSLATE_NOOP(
    "wavorin::StartupMessages",
    "wavorin: cannot open a window: no display found (DISPLAY and WAYLAND_DISPLAY name no running "
    "X server or Wayland compositor)");

bool x_server_reachable() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
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
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (static_cast<std::size_t>(name.size()) >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool reachable =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return reachable;
}

}  // namespace

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

}  // namespace wavorin
