#include "platform/qt/window/window_system_flush.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

namespace wavorin {

void flush_window_system() {
  const auto* app = qGuiApp;
  if (app == nullptr) return;
  if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>()) {
    if (xcb_connection_t* connection = x11->connection()) xcb_flush(connection);
  }
}

}  // namespace wavorin
