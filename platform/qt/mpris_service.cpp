#include "platform/qt/mpris_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

#include "platform/qt/mpris_player_adaptor.h"
#include "platform/qt/mpris_root_adaptor.h"

namespace wavorin {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.wavorin");

}  // namespace

MprisService::MprisService(MediaActions actions, LengthOf length_of)
    : actions_(std::move(actions)), length_of_(std::move(length_of)) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
  if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return;
  for (const QString& name :
       {kServiceName, kServiceName + QStringLiteral(".instance") +
                          QString::number(QCoreApplication::applicationPid())}) {
    if (bus.registerService(name)) {
      service_ = name;
      return;
    }
  }
}

MprisService::~MprisService() {
  if (!registered()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterService(service_);
  bus.unregisterObject(kObjectPath);
}

QString MprisService::playback_status() const {
  return playing_ ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

void MprisService::later(const std::function<void()>& action) {
  if (action) QTimer::singleShot(0, this, action);
}

void MprisService::update(bool playing, const std::string& file) {
  QVariantMap changed;
  if (file != file_ || track_ == 0) {
    // Nobody has seen the first track yet: it is read when asked for.
    const bool first = track_ == 0;
    file_ = file;
    ++track_;
    const QString path = QFile::decodeName(file.c_str());
    metadata_.clear();
    metadata_.insert(QStringLiteral("mpris:trackid"),
                     QVariant::fromValue(QDBusObjectPath(
                         QStringLiteral("/org/wavorin/Wavorin/track/%1").arg(track_))));
    metadata_.insert(QStringLiteral("xesam:title"), QFileInfo(path).fileName());
    metadata_.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(path).toString());
    length_pending_ = true;
    if (!first) changed.insert(QStringLiteral("Metadata"), metadata());
  }
  if (playing != playing_) {
    playing_ = playing;
    changed.insert(QStringLiteral("PlaybackStatus"), playback_status());
  }
  if (!changed.isEmpty()) properties_changed(changed);
}

QVariantMap MprisService::metadata() {
  if (length_pending_) {
    length_pending_ = false;
    if (const auto length = length_of_ ? length_of_(file_) : std::nullopt)
      metadata_.insert(QStringLiteral("mpris:length"), QVariant::fromValue(*length));
  }
  return metadata_;
}

void MprisService::properties_changed(const QVariantMap& changed) {
  if (!registered()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

}  // namespace wavorin
