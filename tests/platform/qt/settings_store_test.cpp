#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "platform/qt/files/qt_settings_store.h"

namespace wavorin {
namespace {

// The folder main() gave this test process.
QString config_home() { return QFile::decodeName(qgetenv("XDG_CONFIG_HOME")); }

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SettingsStore, TextsRoundTripThroughTheUsersIniFile) {
  QtSettingsStore store;
  store.SaveSetting("Wavorin", "Option", "MAIN WINDOW X", "-1200");
  store.SaveSetting("Wavorin", "Option", "MAIN WINDOW Y", "4500");
  store.SaveSetting("Wavorin", "Option", "WAV DIR", "/home/ユーザー/音楽, 2");
  store.SaveSetting("Wavorin", "Option", "EMPTY", "");
  store.commit();

  QtSettingsStore fresh;
  EXPECT_EQ(fresh.GetSetting("Wavorin", "Option", "MAIN WINDOW X", "0"), "-1200");
  EXPECT_EQ(fresh.GetSetting("Wavorin", "Option", "MAIN WINDOW Y", "0"), "4500");
  EXPECT_EQ(fresh.GetSetting("Wavorin", "Option", "WAV DIR", ""), "/home/ユーザー/音楽, 2");
  EXPECT_EQ(fresh.GetSetting("Wavorin", "Option", "EMPTY", "x"), "");
  // Sections and keys are separate: the same key elsewhere is absent.
  EXPECT_EQ(fresh.GetSetting("Wavorin", "Other", "MAIN WINDOW X", "none"), "none");
  EXPECT_EQ(fresh.GetSetting("Wavorin", "Option", "MAIN WINDOW", "none"), "none");

  const QByteArray ini = read_file(config_home() + "/Wavorin/Wavorin.ini");
  EXPECT_TRUE(ini.contains("[Option]"));
  EXPECT_TRUE(ini.contains("MAIN%20WINDOW%20X=-1200"));
}

TEST(SettingsStore, SavesReachTheFileTogetherAtCommitAndOnlyTheIniFileIsLeft) {
  QtSettingsStore store;
  const QString ini = config_home() + "/Atomic/Atomic.ini";
  for (int i = 0; i < 5; ++i) {
    store.SaveSetting("Atomic", "Option", "COUNT", std::to_string(i));
    store.SaveSetting("Atomic", "Option", "TWICE", std::to_string(2 * i));
    EXPECT_EQ(store.GetSetting("Atomic", "Option", "COUNT", ""), std::to_string(i));
    if (i > 0) {
      EXPECT_TRUE(read_file(ini).contains("COUNT=" + QByteArray::number(i - 1)));
    }
    store.commit();
  }
  EXPECT_EQ(read_file(ini), QByteArray("[Option]\nCOUNT=4\nTWICE=8\n"));
  const QStringList entries =
      QDir(config_home() + "/Atomic")
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  EXPECT_EQ(entries, QStringList{"Atomic.ini"});
}

TEST(SettingsStore, HandEditedValuesReadAsTheirText) {
  QDir().mkpath(config_home() + "/Edited");
  QFile ini(config_home() + "/Edited/Edited.ini");
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Option]\nLIST=a, b\nQUOTED=\"c, d\"\nBAD=@Variant(\\0\\0)\n");
  ini.close();
  QtSettingsStore store;
  EXPECT_EQ(store.GetSetting("Edited", "Option", "LIST", ""), "a, b");
  EXPECT_EQ(store.GetSetting("Edited", "Option", "QUOTED", ""), "c, d");
  // A value Qt cannot read as text counts as absent.
  EXPECT_EQ(store.GetSetting("Edited", "Option", "BAD", "fallback"), "fallback");
}

TEST(SettingsStore, UnwritableStoreIsReportedOnceAndKeepsTheOldFile) {
  // scripts/as-test-user.sh runs this case as an unprivileged user for the
  // test command.
  if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop writes";
  QtSettingsStore store;
  store.SaveSetting("Locked", "Option", "KEY", "old");
  store.commit();
  const QString dir = config_home() + "/Locked";
  const QByteArray before = read_file(dir + "/Locked.ini");
  ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  ::testing::internal::CaptureStderr();
  store.SaveSetting("Locked", "Option", "KEY", "new");
  store.commit();
  store.SaveSetting("Locked", "Option", "KEY", "newer");
  store.commit();
  const std::string err = ::testing::internal::GetCapturedStderr();
  QFile::setPermissions(dir,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_THAT(err, ::testing::HasSubstr("cannot save settings"));
  EXPECT_EQ(err.find("cannot save settings"), err.rfind("cannot save settings"));
  EXPECT_EQ(read_file(dir + "/Locked.ini"), before);
}

TEST(SettingsStore, StoreBlockedByAFileOrAFullDiskIsReportedOnceWithItsReason) {
  // Where the settings folder should be lies a file: no user can write there.
  QFile blocker(config_home() + "/Blocked");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QtSettingsStore store;
  std::vector<SaveFailure> told;
  store.set_failure_listener([&told](const std::string&, SaveFailure why) { told.push_back(why); });
  ::testing::internal::CaptureStderr();
  store.SaveSetting("Blocked", "Option", "KEY", "1");
  store.commit();
  store.SaveSetting("Blocked", "Option", "KEY", "2");
  store.commit();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, ::testing::StartsWith("wavorin: cannot save settings to " +
                                         (config_home() + "/Blocked/Blocked.ini: ").toStdString()));
  EXPECT_EQ(err.find("cannot save"), err.rfind("cannot save"));
  EXPECT_EQ(told, std::vector<SaveFailure>{SaveFailure::FolderUnwritable});
  EXPECT_TRUE(QFileInfo(config_home() + "/Blocked").isFile());

  // A full disk: a small file system over the folder, in a mount namespace
  // of the writer's own, where the system lets a test have one.
  QDir().mkpath(config_home() + "/Full");
  QProcess writer;
  writer.start("unshare", {"-Urm", "sh", "-c",
                           "mount -t tmpfs -o size=64k tmpfs \"$0\" || exit 77; exec \"$1\" once",
                           config_home() + "/Full", WAVORIN_SETTINGS_WRITER});
  ASSERT_TRUE(writer.waitForFinished(10000));
  if (writer.exitCode() == 77) GTEST_SKIP() << "no mount namespace here for a full disk";
  EXPECT_THAT(writer.readAllStandardError().toStdString(), ::testing::HasSubstr(": disk full\n"));
  EXPECT_EQ(writer.readAllStandardOutput(),
            QByteArray::number(static_cast<int>(SaveFailure::DiskFull)) + "\n");
}

TEST(SettingsStore, GarbageFileReadsAsDefaultsAndIsReplacedWithoutAFormatError) {
  QDir().mkpath(config_home() + "/Garbage");
  const QString ini = config_home() + "/Garbage/Garbage.ini";
  std::mt19937 random(12);
  QByteArray garbage(8192, 0);
  for (char& byte : garbage) byte = static_cast<char>(random());
  garbage.replace("[Option]", "");
  QFile file(ini);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(garbage);
  file.close();

  QtSettingsStore store;
  EXPECT_EQ(store.GetSetting("Garbage", "Option", "MAIN WINDOW X", "0"), "0");
  EXPECT_EQ(store.GetSetting("Garbage", "Option", "Path", "/opt/wavorin"), "/opt/wavorin");
  ::testing::internal::CaptureStderr();
  store.SaveSetting("Garbage", "Option", "MAIN WINDOW X", "-1500");
  store.SaveSetting("Garbage", "Option", "Path", "/opt/wavorin");
  store.commit();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(read_file(ini), QByteArray("[Option]\nMAIN%20WINDOW%20X=-1500\nPath=/opt/wavorin\n"));
}

void write_file(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

mode_t mode_of(const QString& path) {
  struct stat status {};
  return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

// One start and one Close of the program's settings for `app`, as load_reg
// and save_reg use them: what the start read for X, and what Close said.
struct StartAndClose {
  std::string x;
  std::string err;
  int failures = 0;
  std::optional<SaveFailure> why;
};

StartAndClose start_and_close(const std::string& app) {
  StartAndClose run;
  QtSettingsStore store;
  store.set_failure_listener([&run](const std::string&, SaveFailure why) {
    ++run.failures;
    run.why = why;
  });
  run.x = store.GetSetting(app, "Option", "MAIN WINDOW X", "0");
  ::testing::internal::CaptureStderr();
  store.SaveSetting(app, "Option", "MAIN WINDOW X", "150");
  store.commit();
  store.SaveSetting(app, "Option", "MAIN WINDOW X", "160");
  store.commit();
  run.err = ::testing::internal::GetCapturedStderr();
  return run;
}

// Whatever lies where the settings file should be, the start never waits on
// it and Close never loses it.
TEST(SettingsStore, OddSettingsFilesNeitherStopTheStartNorVanishAtClose) {
  const auto ini = [](const QString& app) {
    return config_home() + "/" + app + "/" + app + ".ini";
  };
  const QByteArray stored = "[Extra]\nKEEP=1\n\n[Option]\nMAIN%20WINDOW%20X=300\n";

  // A FIFO: opening it to read would wait for a writer for ever; one comes
  // after a few seconds to end a wait, and must not have been needed.
  QDir().mkpath(config_home() + "/Fifo");
  const QByteArray fifo = QFile::encodeName(ini("Fifo"));
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int waited_ms = 0; !done; waited_ms += 50) {
      if (waited_ms >= 3000) {
        const int end = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        if (end >= 0) ::close(end);
      }
      QThread::msleep(50);
    }
  });
  QElapsedTimer clock;
  clock.start();
  const StartAndClose on_fifo = start_and_close("Fifo");
  const qint64 fifo_ms = clock.elapsed();
  done = true;
  writer.join();
  EXPECT_LT(fifo_ms, 2000) << "a FIFO held the start or Close";
  EXPECT_EQ(on_fifo.x, "0");
  EXPECT_THAT(on_fifo.err, ::testing::StartsWith("wavorin: cannot save settings to " +
                                                 fifo.toStdString() + ": is not a regular file"));
  EXPECT_EQ(on_fifo.failures, 1);
  EXPECT_EQ(on_fifo.why, SaveFailure::NotRegular);
  EXPECT_TRUE(S_ISFIFO(mode_of(ini("Fifo"))));

  // A folder: not read, and kept.
  QDir().mkpath(ini("Folder"));
  const StartAndClose on_folder = start_and_close("Folder");
  EXPECT_THAT(on_folder.err, ::testing::HasSubstr(": is a folder, so it is kept"));
  EXPECT_EQ(on_folder.why, SaveFailure::NotRegular);
  EXPECT_TRUE(QFileInfo(ini("Folder")).isDir());

  // A file this user cannot read is kept, and Close says so once.
  if (geteuid() != 0) {
    write_file(ini("Unreadable"), stored);
    ASSERT_TRUE(QFile::setPermissions(ini("Unreadable"), {}));
    const StartAndClose unreadable = start_and_close("Unreadable");
    EXPECT_EQ(unreadable.x, "0");
    EXPECT_THAT(unreadable.err, ::testing::HasSubstr("cannot be read, so it is kept"));
    EXPECT_EQ(unreadable.err.find("cannot save"), unreadable.err.rfind("cannot save"));
    EXPECT_EQ(unreadable.failures, 1);
    EXPECT_EQ(unreadable.why, SaveFailure::Unreadable);
    EXPECT_EQ(mode_of(ini("Unreadable")) & 07777, 0U);
    QFile::setPermissions(ini("Unreadable"), QFileDevice::ReadOwner);
    EXPECT_EQ(read_file(ini("Unreadable")), stored);
  }

  // A read-only file is replaced, read-only again, its other keys carried over.
  write_file(ini("ReadOnly"), stored);
  ASSERT_EQ(::chmod(QFile::encodeName(ini("ReadOnly")).constData(), 0444), 0);
  const StartAndClose read_only = start_and_close("ReadOnly");
  EXPECT_EQ(read_only.x, "300");
  EXPECT_EQ(read_only.err, "");
  EXPECT_EQ(mode_of(ini("ReadOnly")), S_IFREG | 0444);
  EXPECT_EQ(read_file(ini("ReadOnly")), stored.left(stored.indexOf("300")) + "160\n");

  // A lock file left empty by a save killed as it made it: neither the start
  // nor Close waits it out, and Close leaves only the file.
  write_file(ini("Stale"), stored);
  write_file(ini("Stale") + ".lock", "");
  const timespec a_second_ago[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 1, 0}};
  ASSERT_EQ(
      ::utimensat(AT_FDCWD, QFile::encodeName(ini("Stale") + ".lock").constData(), a_second_ago, 0),
      0);
  clock.restart();
  const StartAndClose stale = start_and_close("Stale");
  EXPECT_LT(clock.elapsed(), 1000) << "an empty lock file held Close";
  EXPECT_EQ(stale.x, "300");
  EXPECT_EQ(stale.err, "");
  EXPECT_EQ(QDir(config_home() + "/Stale")
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"Stale.ini"});

  // A link (relative, through a second link) stays a link; the file it leads
  // to is replaced.
  write_file(config_home() + "/Real/settings.ini", stored);
  QDir().mkpath(config_home() + "/Linked");
  ASSERT_TRUE(QFile::link("../Real/settings.ini", config_home() + "/Real/hop.ini"));
  ASSERT_EQ(::symlink("../Real/hop.ini", QFile::encodeName(ini("Linked")).constData()), 0);
  const StartAndClose linked = start_and_close("Linked");
  EXPECT_EQ(linked.x, "300");
  EXPECT_EQ(linked.err, "");
  EXPECT_TRUE(S_ISLNK(mode_of(ini("Linked"))));
  EXPECT_TRUE(S_ISLNK(mode_of(config_home() + "/Real/hop.ini")));
  EXPECT_THAT(read_file(config_home() + "/Real/settings.ini").toStdString(),
              ::testing::HasSubstr("MAIN%20WINDOW%20X=160"));
  EXPECT_EQ(QDir(config_home() + "/Linked")
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"Linked.ini"});
}

// The three keys of one save as "MAIN%20WINDOW%20X" -> text, from the file's
// lines.
std::map<QByteArray, QByteArray> ini_keys(const QByteArray& text) {
  std::map<QByteArray, QByteArray> keys;
  for (const QByteArray& line : text.split('\n')) {
    const qsizetype equals = line.indexOf('=');
    if (equals > 0) keys[line.left(equals)] = line.mid(equals + 1);
  }
  return keys;
}

// Close killed at any moment: the file holds one whole round of the writer,
// never X of one round and Y or Path of another, nor a cut-off file.
TEST(SettingsStore, KilledWhileSavingLeavesTheOldFileOrTheNewOneWhole) {
  QTemporaryDir home;
  const QString ini = home.filePath("Killed/Killed.ini");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", home.path());
  std::mt19937 random(120);
  const QByteArray padding(qsizetype{256} * 1024, 'p');
  std::set<QByteArray> rounds;
  for (int kill = 0; kill < 120; ++kill) {
    QProcess writer;
    writer.setProcessEnvironment(env);
    writer.start(QStringLiteral(WAVORIN_SETTINGS_WRITER), {});
    ASSERT_TRUE(writer.waitForReadyRead(20000)) << "the writer did not start";
    // Somewhere in the next two rounds, however fast this machine writes.
    const unsigned round_us = writer.readLine().split(' ').value(1).trimmed().toUInt();
    QThread::usleep(std::uniform_int_distribution<unsigned>(0, 2 * round_us)(random));
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished(10000));

    const QByteArray text = read_file(ini);
    const auto keys = ini_keys(text);
    ASSERT_EQ(keys.size(), 3U) << "kill " << kill << ": " << text.left(200).toStdString();
    const QByteArray x = keys.at("MAIN%20WINDOW%20X");
    EXPECT_EQ(keys.at("MAIN%20WINDOW%20Y"), x) << "kill " << kill;
    EXPECT_TRUE(keys.at("Path") == "/music/" + x + "/" + padding)
        << "kill " << kill << ": X " << x.toStdString() << ", Path "
        << keys.at("Path").left(12).toStdString() << "... of " << keys.at("Path").size();
    if (HasFailure()) return;
    rounds.insert(x);
  }
  EXPECT_GE(rounds.size(), 2U) << "the kills all landed in the same round";

  // The next start, then the next Close, leave only the file: no temporary
  // or lock file of a killed save.
  const QByteArray saved_home = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
  const std::string only_the_file = "Killed.ini";
  const auto entries = [&] {
    return QDir(home.filePath("Killed"))
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
        .join(' ')
        .toStdString();
  };
  QtSettingsStore next;
  next.GetSetting("Killed", "Option", "MAIN WINDOW X", "0");
  EXPECT_EQ(entries(), only_the_file) << "after the start";
  next.SaveSetting("Killed", "Option", "MAIN WINDOW X", "1");
  next.commit();
  EXPECT_EQ(entries(), only_the_file) << "after Close";
  qputenv("XDG_CONFIG_HOME", saved_home);
}

}  // namespace
}  // namespace wavorin
