#include "platform/qt/qpa_choice.h"

#include <QByteArray>
#include <QtGlobal>

namespace wavorin {

void choose_x11_platform() {
  if (!qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
  }
}

}  // namespace wavorin
