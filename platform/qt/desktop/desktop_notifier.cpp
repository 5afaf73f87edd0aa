#include "platform/qt/desktop/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "platform/app_identity.h"

namespace wavorin {

namespace {

// The program is ending: wait this long at most for the service to answer.
constexpr int kTimeoutMs = 2000;

}  // namespace

bool DesktopNotifier::notify(const QString& summary, const QString& body) const {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  const QString id = QString::fromUtf8(kApplicationId);
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), id);
  call << QString::fromUtf8(kApplicationName) << 0U << id << summary << body << QStringList()
       << hints << -1;
  return bus.call(call, QDBus::Block, kTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace wavorin
