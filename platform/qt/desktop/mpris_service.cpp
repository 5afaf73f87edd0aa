#include "platform/qt/desktop/mpris_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/app_identity.h"
#include "platform/qt/desktop/mpris_player_adaptor.h"
#include "platform/qt/desktop/mpris_root_adaptor.h"

namespace wavorin {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.wavorin");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kLength = QStringLiteral("mpris:length");

std::size_t index_of(MediaPress press) { return static_cast<std::size_t>(press); }

}  // namespace

QString media_busy_reason() {
  return QStringLiteral("Wavorin is waiting for its Open dialog to be closed");
}

QString file_uri(const std::string& path) {
  return QString::fromLatin1("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

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

bool MprisService::request(MediaPress press, const std::string& file) {
  if (actions_.ready && !actions_.ready()) return false;
  if (press == MediaPress::Open) pending_file_ = file;
  if (press == MediaPress::PlayPause) toggle_pending_ = !toggle_pending_;
  bool& pending = pending_.at(index_of(press));
  if (pending) return true;
  pending = true;
  QTimer::singleShot(0, this, [this, press] { run(press); });
  return true;
}

void MprisService::run(MediaPress press) {
  pending_.at(index_of(press)) = false;
  const std::function<void()>* action = nullptr;
  switch (press) {
    case MediaPress::Play:
      action = &actions_.play;
      break;
    case MediaPress::Stop:
      action = &actions_.stop;
      break;
    case MediaPress::PlayPause:
      if (std::exchange(toggle_pending_, false)) action = &actions_.play_pause;
      break;
    case MediaPress::Quit:
      action = &actions_.quit;
      break;
    case MediaPress::Open:
      if (actions_.open) actions_.open(std::exchange(pending_file_, {}));
      return;
  }
  if (action != nullptr && *action) (*action)();
}

void MprisService::raise() {
  if (actions_.raise) QTimer::singleShot(0, this, actions_.raise);
}

bool MprisService::playable(const std::string& file) const {
  return length_of_ && length_of_(file).has_value();
}

void MprisService::update(bool playing, const std::string& file, int starts) {
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
                         QStringLiteral("/%1/track/%2")
                             .arg(QString::fromLatin1(kApplicationId).replace('.', '/'))
                             .arg(track_))));
    metadata_.insert(QStringLiteral("xesam:title"), QFileInfo(path).fileName());
    metadata_.insert(QStringLiteral("xesam:url"), file_uri(file));
    length_pending_ = true;
    if (!first) changed.insert(QStringLiteral("Metadata"), metadata());
  }
  if (starts != starts_) {
    starts_ = starts;
    // The sound began as the handler that started it returned, just now.
    if (playing) {
      playing_since_.start();
      if (playing_ && changed.isEmpty()) seeked_to_start();
    }
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
      metadata_.insert(kLength, QVariant::fromValue(*length));
  }
  return metadata_;
}

qint64 MprisService::position() {
  if (!playing_ || !playing_since_.isValid()) return 0;
  const qint64 heard = playing_since_.nsecsElapsed() / 1000;
  const QVariant length = metadata().value(kLength);
  return length.isValid() ? std::min(heard, length.toLongLong()) : heard;
}

void MprisService::properties_changed(const QVariantMap& changed) {
  if (!registered()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << kPlayerInterface << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

// Play pressed while the same sound plays starts it again: the position
// jumps back, which watchers learn only from this signal.
void MprisService::seeked_to_start() {
  if (!registered()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, kPlayerInterface, QStringLiteral("Seeked"));
  signal << qlonglong{0};
  QDBusConnection::sessionBus().send(signal);
}

}  // namespace wavorin
