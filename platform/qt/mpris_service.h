#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <string>

namespace wavorin {

// What the desktop's media controls may ask of the program. Each runs once
// the D-Bus call has been answered.
struct MediaActions {
  std::function<void()> play;
  std::function<void()> stop;
  std::function<void()> play_pause;
  std::function<void()> raise;
  std::function<void()> quit;
};

// The program as an MPRIS 2 media player on the session bus
// (org.mpris.MediaPlayer2.wavorin, or .instance<pid> for a second copy).
// Without a session bus it does nothing and says nothing.
class MprisService : public QObject {
  Q_OBJECT

 public:
  // Microseconds of sound in a file, for the track's length.
  using LengthOf = std::function<std::optional<qint64>(const std::string&)>;

  MprisService(MediaActions actions, LengthOf length_of);
  ~MprisService() override;
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  bool registered() const { return !service_.isEmpty(); }
  // The state of the sound now: signals every change to the desktop.
  void update(bool playing, const std::string& file);

  QString playback_status() const;
  // The track's length is read from its file only when first asked for:
  // reading it starts the sound service.
  QVariantMap metadata();
  // Runs an action after the current D-Bus call has been answered.
  void later(const std::function<void()>& action);
  const MediaActions& actions() const { return actions_; }

 private:
  void properties_changed(const QVariantMap& changed);

  MediaActions actions_;
  LengthOf length_of_;
  QString service_;
  bool playing_ = false;
  std::string file_;
  int track_ = 0;
  QVariantMap metadata_;
  bool length_pending_ = false;
};

}  // namespace wavorin
