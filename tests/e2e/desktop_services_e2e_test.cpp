#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

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
  Desktop::settle(1000);
  const auto out = program.audio();
  const long click_at = find_samples(out, read_wave(program.folder() + "/click.wav"));
  ASSERT_GE(click_at, 0) << "the press action did not click";
  auto tune = read_wave(program.folder() + "/sample1.wav");
  tune.resize(22050);
  EXPECT_GE(find_samples(out, tune, click_at), 0) << "the press action did not play";
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
  ASSERT_FALSE(Desktop::find_window("^Open wave$", program.pid()).isEmpty()) << "no dialog";
  Desktop::settle(800);
  Desktop::key("ctrl+a");
  Desktop::type(text_file);
  Desktop::key("Return");
  Desktop::settle(800);
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
  Desktop::settle(500);
  EXPECT_TRUE(Desktop::run("xdotool",
                           {"search", "--all", "--onlyvisible", "--pid",
                            QString::number(program.pid()), "--name", "^Wavorin message$"},
                           true)
                  .trimmed()
                  .isEmpty())
      << "a click did not take the message away";
}

TEST_F(ProgramTest, SettingsThatCannotBeSavedAtCloseAreANotification) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  QProcess listener;
  listener.start("/usr/bin/python3", {WAVORIN_E2E_DIR "/notification_listener.py"});
  ASSERT_TRUE(listener.waitForReadyRead(10000));
  ASSERT_EQ(listener.readLine().trimmed(), "ready");
  // A file where the settings folder should be: nothing can be written there.
  const QString folder = QFileInfo(program.settings_file()).path();
  QFile blocker(folder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  ASSERT_TRUE(program.start());
  Desktop::key("ctrl+q");
  EXPECT_EQ(program.wait_for_exit(), 0);
  listener.waitForReadyRead(3000);
  // trimmed: the line break after "ready" may come in this read.
  const QString told = QString::fromUtf8(listener.readAll()).trimmed();
  listener.kill();
  listener.waitForFinished();
  EXPECT_TRUE(told.startsWith("Wavorin|Settings not saved|")) << told.toStdString();
  EXPECT_TRUE(told.contains("Wavorin.ini")) << told.toStdString();
  EXPECT_TRUE(program.errors().contains("cannot save settings"));
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
  Desktop::settle(600);
  EXPECT_GE(find_samples(program.audio(), tune), 0) << "play did not play";
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

}  // namespace
}  // namespace wavorin::e2e
