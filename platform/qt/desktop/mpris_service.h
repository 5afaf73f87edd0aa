#pragma once

#include <QDBusContext>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <array>
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
  // Plays a file (a path in the file system's encoding) as `wavorin FILE` does.
  std::function<void(const std::string& file)> open;
  // Whether a press can run now: not while the Open dialog waits for the user.
  std::function<bool()> ready;
};

// The media-control calls that press a button. Calls of one kind that come
// while an earlier one still waits to run are merged into it, so a flood of
// calls costs one press, not one per call. PlayPause calls merge by their
// number: an odd number is one press, an even number none.
enum class MediaPress { Play, Stop, PlayPause, Quit, Open };

// The program as an MPRIS 2 media player on the session bus
// (org.mpris.MediaPlayer2.wavorin, or .instance<pid> for a second copy).
// Without a session bus it does nothing and says nothing. Its adaptors answer
// a call with an error through the context of the call, which the bus keeps
// on this object.
class MprisService : public QObject, public QDBusContext {
  Q_OBJECT

 public:
  // Microseconds of sound in a file, or nothing when it is not a readable
  // wave file.
  using LengthOf = std::function<std::optional<qint64>(const std::string&)>;

  MprisService(MediaActions actions, LengthOf length_of);
  ~MprisService() override;
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  bool registered() const { return !service_.isEmpty(); }
  // The state of the sound now: signals every change to the desktop.
  // `starts` counts the sounds started so far; a new count restarts the
  // position.
  void update(bool playing, const std::string& file, int starts);

  QString playback_status() const;
  // The track's length is read from its file only when first asked for:
  // reading it starts the sound service.
  QVariantMap metadata();
  // Microseconds heard of the playing sound, 0 when none plays.
  qint64 position();
  bool playable(const std::string& file) const;

  // Queues a press to run after the current D-Bus call has been answered.
  // Returns false, queuing nothing, when no press can run now.
  bool request(MediaPress press, const std::string& file = {});
  // Raises the window after the current call; the window can always come up.
  void raise();

 private:
  static constexpr std::size_t kPresses = 5;

  void run(MediaPress press);
  void properties_changed(const QVariantMap& changed);
  void seeked_to_start();

  MediaActions actions_;
  LengthOf length_of_;
  QString service_;
  bool playing_ = false;
  std::string file_;
  int track_ = 0;
  int starts_ = 0;
  QElapsedTimer playing_since_;
  QVariantMap metadata_;
  bool length_pending_ = false;
  std::array<bool, kPresses> pending_{};
  // PlayPause calls merged into the pending one leave it an odd number.
  bool toggle_pending_ = false;
  std::string pending_file_;
};

// What a call that cannot be carried out now answers.
QString media_busy_reason();

// The address of a file as the desktop writes it: file:// and the path's
// bytes, percent-encoded.
QString file_uri(const std::string& path);

}  // namespace wavorin
