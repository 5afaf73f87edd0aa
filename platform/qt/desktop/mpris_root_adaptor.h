#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

namespace wavorin {

class MprisService;

// org.mpris.MediaPlayer2: who the player is, what it opens, Raise and Quit.
// Quit answers with an error while the Open dialog is up.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ can_quit)
  Q_PROPERTY(bool CanRaise READ can_raise)
  Q_PROPERTY(bool HasTrackList READ has_track_list)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktop_entry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ supported_uri_schemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ supported_mime_types)

 public:
  explicit MprisRootAdaptor(MprisService* service);

  bool can_quit() const { return true; }
  bool can_raise() const { return true; }
  bool has_track_list() const { return false; }
  QString identity() const;
  QString desktop_entry() const;
  QStringList supported_uri_schemes() const { return {QStringLiteral("file")}; }
  QStringList supported_mime_types() const;

 public slots:  // NOLINT(readability-redundant-access-specifiers)
  void Raise();
  void Quit();

 private:
  MprisService& service_;
};

}  // namespace wavorin
