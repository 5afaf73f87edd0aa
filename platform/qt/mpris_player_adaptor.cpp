#include "platform/qt/mpris_player_adaptor.h"

#include "platform/qt/mpris_service.h"

namespace wavorin {

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(*service) {}

QString MprisPlayerAdaptor::playback_status() const { return service_.playback_status(); }

QVariantMap MprisPlayerAdaptor::metadata() const { return service_.metadata(); }

void MprisPlayerAdaptor::Play() { service_.later(service_.actions().play); }

void MprisPlayerAdaptor::Stop() { service_.later(service_.actions().stop); }

void MprisPlayerAdaptor::PlayPause() { service_.later(service_.actions().play_pause); }

}  // namespace wavorin
