#include "platform/qt/desktop/mpris_player_adaptor.h"

#include <QDBusError>
#include <QUrl>

#include "platform/qt/desktop/mpris_service.h"
#include "platform/qt/files/local_names.h"

namespace wavorin {

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(*service) {}

QString MprisPlayerAdaptor::playback_status() const { return service_.playback_status(); }

QVariantMap MprisPlayerAdaptor::metadata() const { return service_.metadata(); }

qlonglong MprisPlayerAdaptor::position() const { return service_.position(); }

void MprisPlayerAdaptor::request(MediaPress press, const std::string& file) {
  if (!service_.request(press, file))
    service_.sendErrorReply(QDBusError::Failed, media_busy_reason());
}

void MprisPlayerAdaptor::Play() { request(MediaPress::Play); }

void MprisPlayerAdaptor::Stop() { request(MediaPress::Stop); }

void MprisPlayerAdaptor::PlayPause() { request(MediaPress::PlayPause); }

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
  const QByteArray file = local_file_name(QUrl(uri, QUrl::StrictMode));
  if (file.isEmpty()) {
    service_.sendErrorReply(
        QDBusError::NotSupported,
        QStringLiteral("Wavorin opens only local file:// addresses: %1").arg(uri));
    return;
  }
  if (!can_name_a_file(file)) {
    service_.sendErrorReply(QDBusError::InvalidArgs,
                            QStringLiteral("Not a name a file can have: %1").arg(uri));
    return;
  }
  if (!service_.playable(file.toStdString())) {
    service_.sendErrorReply(QDBusError::InvalidArgs,
                            QStringLiteral("Not a readable wave file: %1").arg(uri));
    return;
  }
  request(MediaPress::Open, file.toStdString());
}

}  // namespace wavorin
