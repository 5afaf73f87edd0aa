#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <utility>

#include "tests/e2e/e2e_fixture.h"

namespace wavorin::e2e {
namespace {

// What a screen reader finds, one "role|name|shortcut" line per object.
QString accessibility_tree(const Program& program, const QStringList& then = {}) {
  return Desktop::run(
      "/usr/bin/python3",
      QStringList{WAVORIN_E2E_DIR "/atspi_tree.py", QString::number(program.pid())} + then);
}

TEST_F(ProgramTest, ScreenReadersFindFourNamedPushButtonsThatPressAsClicks) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  program.replace_sound("click.wav", marker_tone(0.2, 6));
  program.set_env("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  ASSERT_TRUE(program.start());
  const QString tree = accessibility_tree(program, {"press", "Play"});
  EXPECT_TRUE(tree.contains(
      QRegularExpression("^\\s*(frame|window)\\|Wavorin\\|", QRegularExpression::MultilineOption)))
      << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Play|P\n")) << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Stop|S\n")) << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Open file|Ctrl+O\n")) << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Close|Ctrl+Q\n")) << tree.toStdString();
  EXPECT_EQ(tree.count("push button"), 4);
  const long click_at = program.wait_for_samples(read_wave(program.folder() + "/click.wav"));
  ASSERT_GE(click_at, 0) << "the press action did not click";
  auto tune = read_wave(program.folder() + "/sample1.wav");
  tune.resize(22050);
  EXPECT_GE(program.wait_for_samples(tune, click_at), 0) << "the press action did not play";
  program.kill();

  Program japanese;
  japanese.set_env("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  japanese.set_env("LANG", "ja_JP.UTF-8");
  ASSERT_TRUE(japanese.start());
  const QString names = accessibility_tree(japanese);
  for (const char* name : {"再生", "停止", "ファイルを開く", "終了"})
    EXPECT_TRUE(names.contains(QString("push button|%1|").arg(QString::fromUtf8(name))))
        << names.toStdString();
}

}  // namespace
}  // namespace wavorin::e2e

namespace wavorin::e2e {
namespace {

TEST_F(ProgramTest, AFileThatCannotBePlayedIsExplainedBesideTheWindow) {
  QTemporaryDir music;
  const QString text_file = music.filePath("notes.wav");
  QFile file(text_file);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a sound\n");
  file.close();
  QFile::remove(program.folder() + "/click.wav");
  QFile::copy(text_file, program.folder() + "/click.wav");
  ASSERT_TRUE(program.start());
  const QRect window = program.window_rect();

  // The program's own click never raises a message.
  Desktop::key("p");
  EXPECT_TRUE(Desktop::find_window("^Wavorin message$", program.pid(), 1500).isEmpty())
      << "a message for the key click";

  Desktop::key("ctrl+o");
  const QString dialog = program.wait_for_dialog("^Open wave$");
  ASSERT_FALSE(dialog.isEmpty()) << "no dialog";
  Desktop::key("ctrl+a");
  Desktop::type(text_file);
  Desktop::key("Return");
  ASSERT_TRUE(Desktop::wait_until_hidden(dialog)) << "dialog stayed";
  Desktop::key("p");
  const QString balloon = Desktop::find_window("^Wavorin message$", program.pid(), 3000);
  ASSERT_FALSE(balloon.isEmpty()) << "no message";
  const QRect shown = Desktop::window_rect(balloon);
  EXPECT_EQ(shown.left(), window.right() + 1 + 6) << "not beside the window";
  EXPECT_GT(shown.width(), 100);
  EXPECT_EQ(Desktop::run("xdotool", {"getwindowfocus"}).trimmed(), program.window_id())
      << "the message took the focus";
  EXPECT_EQ(program.window_rect(), window) << "the window moved";

  Desktop::click(shown.center());
  EXPECT_TRUE(Desktop::wait_until_hidden(balloon, 2000)) << "a click did not take the message away";
}

TEST_F(ProgramTest, SettingsThatCannotBeSavedAtCloseAreANotification) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  QProcess listener;
  listener.start("/usr/bin/python3", {WAVORIN_E2E_DIR "/notification_listener.py"});
  ASSERT_TRUE(listener.waitForReadyRead(10000));
  ASSERT_EQ(listener.readLine().trimmed(), "ready");
  // A FIFO where the settings file should be is kept; a file where the
  // settings folder should be lets nothing be written there.
  const QString folder = QFileInfo(program.settings_file()).path();
  Program blocked;
  QDir().mkpath(folder);
  ASSERT_EQ(::mkfifo(QFile::encodeName(program.settings_file()).constData(), 0600), 0);
  QFile blocker(QFileInfo(blocked.settings_file()).path());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  for (auto [closing, reason] : {std::pair{&program, "is not a regular file"},
                                 std::pair{&blocked, "its folder cannot be written"}}) {
    ASSERT_TRUE(closing->start());
    Desktop::key("ctrl+q");
    EXPECT_EQ(closing->wait_for_exit(), 0);
    QString told;
    EXPECT_TRUE(Desktop::wait_until([&] {
      listener.waitForReadyRead(100);
      told += QString::fromUtf8(listener.readAll());
      return told.endsWith('\n') && !told.trimmed().isEmpty();
    })) << "no notification";
    told = told.trimmed();  // the line break after "ready" may come first
    EXPECT_TRUE(told.startsWith("Wavorin|Settings not saved|")) << told.toStdString();
    EXPECT_TRUE(told.contains("Wavorin.ini") && told.contains(reason)) << told.toStdString();
    EXPECT_TRUE(closing->errors().contains("cannot save settings"));
  }
  listener.kill();
  listener.waitForFinished();
}

// Reads a follower's output until it holds `text` or time is up.
bool output_reaches(QProcess& follower, QString& seen, const QString& text, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!seen.contains(text) && clock.elapsed() < timeout_ms) {
    follower.waitForReadyRead(100);
    seen += QString::fromUtf8(follower.readAll());
  }
  return seen.contains(text);
}

TEST_F(ProgramTest, DesktopMediaControlsSeeThePlayerAndPlayAndStopIt) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  program.replace_sound("sample1.wav", marker_tone(1.5, 7));
  ASSERT_TRUE(program.start());
  Program second;
  ASSERT_TRUE(second.start());
  const QString players = Desktop::run("playerctl", {"--list-all"});
  EXPECT_TRUE(
      players.contains(QRegularExpression("^wavorin$", QRegularExpression::MultilineOption)))
      << players.toStdString();
  EXPECT_TRUE(players.contains(QString("wavorin.instance%1").arg(second.pid())))
      << players.toStdString();
  second.kill();

  const QStringList player{"--player", "wavorin"};
  EXPECT_EQ(Desktop::run("playerctl", player + QStringList{"metadata", "--format",
                                                           "{{xesam:title}}|{{mpris:length}}"})
                .trimmed(),
            "sample1.wav|1500000");
  // The follower hears only the signals of each change.
  QProcess follower;
  follower.start("playerctl", player + QStringList{"--follow", "status"});
  QString seen;
  ASSERT_TRUE(output_reaches(follower, seen, "Stopped\n", 5000)) << seen.toStdString();

  Desktop::run("playerctl", player + QStringList{"play"});
  EXPECT_TRUE(output_reaches(follower, seen, "Stopped\nPlaying\n", 3000)) << seen.toStdString();
  auto tune = read_wave(program.folder() + "/sample1.wav");
  tune.resize(22050);
  EXPECT_GE(program.wait_for_samples(tune), 0) << "play did not play";
  // By itself when the sound ends, 1.5 s after it began.
  EXPECT_TRUE(output_reaches(follower, seen, "Playing\nStopped\n", 3000)) << seen.toStdString();

  // Stop ends it before its end.
  Desktop::run("playerctl", player + QStringList{"play-pause"});
  EXPECT_TRUE(output_reaches(follower, seen, "Stopped\nPlaying\nStopped\nPlaying\n", 3000))
      << seen.toStdString();
  Desktop::run("playerctl", player + QStringList{"stop"});
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(output_reaches(follower, seen, "Playing\nStopped\nPlaying\nStopped\n", 3000));
  EXPECT_LT(clock.elapsed(), 1000) << "stop did not stop";
  follower.kill();
  follower.waitForFinished();
}

// Calls a method of the player on the session bus as a desktop would;
// returns gdbus's exit status and everything it printed.
std::pair<int, QString> call_player(const QString& method, const QStringList& args = {}) {
  QProcess gdbus;
  gdbus.start("gdbus", QStringList{"call", "--session", "--dest", "org.mpris.MediaPlayer2.wavorin",
                                   "--object-path", "/org/mpris/MediaPlayer2", "--method", method} +
                           args);
  gdbus.waitForFinished(10000);
  return {gdbus.exitCode(),
          QString::fromUtf8(gdbus.readAllStandardOutput() + gdbus.readAllStandardError())};
}

double playerctl_position() {
  return Desktop::run("playerctl", {"--player", "wavorin", "position"}).trimmed().toDouble();
}

TEST_F(ProgramTest, MediaControlsOpenFilesTellWhereTheSoundIsAndRefuseWhatCannotBeDone) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  QTemporaryDir music;
  const QString file = music.filePath(QString::fromUtf8("my tune 日本語.wav"));
  write_wave(file, marker_tone(3.0, 8));
  ASSERT_TRUE(program.start());
  const QStringList player{"--player", "wavorin"};

  const QByteArray uri = QUrl::fromLocalFile(file).toEncoded();
  const QString path = QString::fromLatin1(uri.mid(7));
  // Only a local file is opened, and only by a name the file system can hold:
  // a NUL cuts the name short of what xesam:url would tell.
  int status = 0;
  QString said;
  for (const auto& [refused, error] :
       {std::pair{QString("http://example.org/tune.wav"), "NotSupported"},
        {"smb://" + path, "NotSupported"},
        {"smb://localhost" + path, "NotSupported"},
        {QString::fromLatin1(uri) + "%00.txt", "InvalidArgs"}}) {
    std::tie(status, said) =
        call_player("org.mpris.MediaPlayer2.Player.OpenUri", {"'" + refused + "'"});
    EXPECT_NE(status, 0) << refused.toStdString() << " was taken";
    EXPECT_TRUE(said.contains(error)) << said.toStdString();
  }
  std::tie(status, said) =
      call_player("org.mpris.MediaPlayer2.Player.OpenUri", {"'" + QString::fromLatin1(uri) + "'"});
  EXPECT_EQ(status, 0) << said.toStdString();
  auto tune = read_wave(file);
  tune.resize(22050);
  ASSERT_GE(program.wait_for_samples(tune), 0) << "OpenUri did not play the file";

  const QString url =
      Desktop::run("playerctl", player + QStringList{"metadata", "xesam:url"}).trimmed();
  EXPECT_EQ(url.toLatin1(), uri);
  EXPECT_EQ(QUrl(url, QUrl::StrictMode).toLocalFile(), file);

  // Position counts what has been heard: it grows with the sound, by about
  // the time between two reads, and is 0 once the sound is stopped.
  QElapsedTimer clock;
  clock.start();
  const double first = playerctl_position();
  double second = first;
  Desktop::wait_until([&] { return (second = playerctl_position()) - first > 0.5; });
  const double apart = static_cast<double>(clock.elapsed()) / 1000.0;
  EXPECT_GT(first, 0.0);
  EXPECT_GT(second - first, 0.5) << first << " then " << second;
  EXPECT_LT(second - first, apart + 0.1) << first << " then " << second;
  Desktop::run("playerctl", player + QStringList{"stop"});
  EXPECT_TRUE(Desktop::wait_until([&] {
    return Desktop::run("playerctl", player + QStringList{"status"}).trimmed() == "Stopped";
  }));
  EXPECT_EQ(playerctl_position(), 0.0);

  // While the Open dialog waits, a press cannot run: the caller hears so,
  // and nothing happens once the dialog has gone. Raise still raises.
  Desktop::key("ctrl+o");
  const QString dialog = program.wait_for_dialog("^Open wave$");
  ASSERT_FALSE(dialog.isEmpty()) << "no dialog";
  for (const char* method : {"org.mpris.MediaPlayer2.Quit", "org.mpris.MediaPlayer2.Player.Play"}) {
    std::tie(status, said) = call_player(method);
    EXPECT_NE(status, 0) << method << " answered success while the dialog was up";
    EXPECT_TRUE(said.contains("Open dialog")) << said.toStdString();
  }
  std::tie(status, said) = call_player("org.mpris.MediaPlayer2.Raise");
  EXPECT_EQ(status, 0) << said.toStdString();
  Desktop::key("Escape");
  ASSERT_TRUE(Desktop::wait_until_hidden(dialog)) << "dialog stayed";
  // A press accepted now runs after any refused one carried out late: Stop
  // clicks, and nothing went before its click or sounds after it.
  const auto click = surely_heard(read_wave(program.folder() + "/click.wav"));
  const auto before = program.audio();
  std::tie(status, said) = call_player("org.mpris.MediaPlayer2.Player.Stop");
  const long stop_click = program.wait_for_samples_after(click, before);
  ASSERT_GE(stop_click, 0) << "the refused Quit was carried out later";
  EXPECT_TRUE(program.silent_after(click, stop_click)) << "the refused Play was carried out later";
  std::tie(status, said) = call_player("org.mpris.MediaPlayer2.Quit");
  EXPECT_EQ(status, 0) << said.toStdString();
  EXPECT_EQ(program.wait_for_exit(), 0);
}

TEST_F(ProgramTest, AFloodOfMediaControlCallsLeavesTheWindowAnswering) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  program.replace_sound("sample1.wav", marker_tone(20.0, 6));
  ASSERT_TRUE(program.start());
  // Each press sounds its click for a tenth of a second: one press per call
  // would keep the window busy for half a minute. An odd number of PlayPause
  // calls toggles, an even number leaves the player as it was.
  for (const auto& [calls, status] : {std::pair{"300", "Stopped"}, {"301", "Playing"}}) {
    const QStringList answered =
        Desktop::run("/usr/bin/python3", {WAVORIN_E2E_DIR "/mpris_flood.py", calls}).split(' ');
    ASSERT_EQ(answered.size(), 2) << calls;
    EXPECT_LT(answered[0].toDouble(), 1.0) << answered[0].toStdString() << " s after " << calls;
    EXPECT_EQ(answered[1].trimmed().toStdString(), status) << calls << " calls";
  }
  // The window is free again: a drag moves it at once.
  const QPoint before = program.window_rect().topLeft();
  const QPoint start = program.at(112, 280);
  Desktop::move_pointer(start);
  Desktop::button_down(1);
  for (int step = 1; step <= 5; ++step) Desktop::move_pointer(start + QPoint(8, 6) * step);
  Desktop::button_up(1);
  EXPECT_TRUE(Desktop::wait_until(
      [&] { return program.window_rect().topLeft() == before + QPoint(40, 30); }, 1000))
      << "a drag after the flood did not move the window";
}

TEST_F(ProgramTest, AFileNamedInLatin1PlaysFromTheCommandLineAndItsAddress) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  QTemporaryDir music;
  const QString made = music.filePath("tune.wav");
  write_wave(made, marker_tone(1.0, 9));
  // "café.wav" in Latin-1: not valid UTF-8, so no QString can name it.
  const QByteArray latin1 = QFile::encodeName(music.path()) + "/caf\xe9.wav";
  ASSERT_EQ(std::rename(QFile::encodeName(made).constData(), latin1.constData()), 0);
  ASSERT_TRUE(program.start(latin1));
  auto tune = marker_tone(1.0, 9);
  tune.resize(22050);
  EXPECT_GE(program.wait_for_samples(tune), 0) << "the file did not play";
  EXPECT_TRUE(Desktop::run("playerctl", {"--player", "wavorin", "metadata", "xesam:url"})
                  .trimmed()
                  .endsWith("/caf%E9.wav"));
  // The same bytes as a desktop's address.
  const auto before = program.audio();
  const QString uri = QString::fromLatin1(
      "file://" + QFile::encodeName(music.path()).toPercentEncoding("/") + "/caf%E9.wav");
  const auto [status, said] =
      call_player("org.mpris.MediaPlayer2.Player.OpenUri", {"'" + uri + "'"});
  EXPECT_EQ(status, 0) << said.toStdString();
  EXPECT_GE(program.wait_for_samples_after(tune, before), 0) << "OpenUri did not play the file";
  EXPECT_FALSE(program.errors().contains("cannot play"));
  program.kill();
  std::remove(latin1.constData());  // QTemporaryDir cannot name it
}
}  // namespace
}  // namespace wavorin::e2e
