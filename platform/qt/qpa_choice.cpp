#include "platform/qt/qpa_choice.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGlobal>

namespace wavorin {

namespace {

constexpr char kWayland[] = "wayland";

}  // namespace

void choose_platform(bool x_server_live, bool wayland_live) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  if (x_server_live) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
  } else if (wayland_live) {
    qputenv("QT_QPA_PLATFORM", kWayland);
  }
}

bool on_wayland() { return QGuiApplication::platformName() == QLatin1String(kWayland); }

}  // namespace wavorin
