#include "platform/qt/qpa_choice.h"

#include <QByteArray>
#include <QtGlobal>

namespace wavorin {

void choose_platform(bool x_server_live, bool wayland_live) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  if (x_server_live) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
  } else if (wayland_live) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland"));
  }
}

}  // namespace wavorin
