#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <string>

#include "platform/qt/desktop/mpris_service.h"

namespace wavorin {

// org.mpris.MediaPlayer2.Player: Play, Stop and PlayPause act as the buttons,
// OpenUri plays a local wave file; there is no pause, seek, next or previous,
// and the Can… properties say so. A call that cannot be carried out now
// (while the Open dialog is up) or an address that cannot be played answers
// with a D-Bus error.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playback_status)
  Q_PROPERTY(double Rate READ rate)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(double Volume READ volume)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(double MinimumRate READ rate)
  Q_PROPERTY(double MaximumRate READ rate)
  Q_PROPERTY(bool CanGoNext READ no)
  Q_PROPERTY(bool CanGoPrevious READ no)
  Q_PROPERTY(bool CanPlay READ yes)
  Q_PROPERTY(bool CanPause READ no)
  Q_PROPERTY(bool CanSeek READ no)
  Q_PROPERTY(bool CanControl READ yes)

 public:
  explicit MprisPlayerAdaptor(MprisService* service);

  QString playback_status() const;
  QVariantMap metadata() const;
  qlonglong position() const;
  double rate() const { return 1.0; }
  double volume() const { return 1.0; }
  bool yes() const { return true; }
  bool no() const { return false; }

 public slots:  // NOLINT(readability-redundant-access-specifiers)
  void Play();
  void Stop();
  void PlayPause();
  void Pause() {}
  void Next() {}
  void Previous() {}
  void Seek(qlonglong /*offset*/) {}
  void SetPosition(const QDBusObjectPath& /*track*/, qlonglong /*position*/) {}
  void OpenUri(const QString& uri);

 signals:
  void Seeked(qlonglong position);

 private:
  void request(MediaPress press, const std::string& file = {});

  MprisService& service_;
};

}  // namespace wavorin
