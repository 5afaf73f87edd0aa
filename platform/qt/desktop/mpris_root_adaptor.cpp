#include "platform/qt/desktop/mpris_root_adaptor.h"

#include <QDBusError>

#include "platform/app_identity.h"
#include "platform/qt/desktop/mpris_service.h"

namespace wavorin {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(*service) {}

QString MprisRootAdaptor::identity() const { return QString::fromUtf8(kApplicationName); }

QString MprisRootAdaptor::desktop_entry() const { return QString::fromUtf8(kApplicationId); }

QStringList MprisRootAdaptor::supported_mime_types() const {
  // As the desktop entry lists them.
  return {QStringLiteral("audio/x-wav"), QStringLiteral("audio/wav"),
          QStringLiteral("audio/vnd.wave")};
}

void MprisRootAdaptor::Raise() { service_.raise(); }

void MprisRootAdaptor::Quit() {
  if (!service_.request(MediaPress::Quit))
    service_.sendErrorReply(QDBusError::Failed, media_busy_reason());
}

}  // namespace wavorin
