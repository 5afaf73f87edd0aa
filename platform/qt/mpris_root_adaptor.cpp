#include "platform/qt/mpris_root_adaptor.h"

#include "platform/app_identity.h"
#include "platform/qt/mpris_service.h"

namespace wavorin {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(*service) {}

QString MprisRootAdaptor::identity() const { return QString::fromUtf8(kApplicationName); }

QString MprisRootAdaptor::desktop_entry() const { return QString::fromUtf8(kApplicationId); }

void MprisRootAdaptor::Raise() { service_.later(service_.actions().raise); }

void MprisRootAdaptor::Quit() { service_.later(service_.actions().quit); }

}  // namespace wavorin
