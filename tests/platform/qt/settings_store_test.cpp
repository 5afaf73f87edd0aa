#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "platform/qt/qt_settings_store.h"

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

TEST(SettingsStore, OverwritingLeavesOnlyTheIniFile) {
  QtSettingsStore store;
  for (int i = 0; i < 5; ++i) store.SaveSetting("Atomic", "Option", "COUNT", std::to_string(i));
  EXPECT_EQ(store.GetSetting("Atomic", "Option", "COUNT", ""), "4");
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
  store.GetSetting("Edited", "Option", "BAD", "fallback");
}

TEST(SettingsStore, UnwritableStoreIsReportedOnceAndKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop writes";
  QtSettingsStore store;
  store.SaveSetting("Locked", "Option", "KEY", "old");
  const QString dir = config_home() + "/Locked";
  const QByteArray before = read_file(dir + "/Locked.ini");
  ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  ::testing::internal::CaptureStderr();
  store.SaveSetting("Locked", "Option", "KEY", "new");
  store.SaveSetting("Locked", "Option", "KEY", "newer");
  const std::string err = ::testing::internal::GetCapturedStderr();
  QFile::setPermissions(dir,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_THAT(err, ::testing::HasSubstr("cannot save settings"));
  EXPECT_EQ(err.find("cannot save settings"), err.rfind("cannot save settings"));
  EXPECT_EQ(read_file(dir + "/Locked.ini"), before);
}

TEST(SettingsStore, StoreBlockedByAFileIsReportedOnceWithoutCrashing) {
  // Where the settings folder should be lies a file: no user can write there.
  QFile blocker(config_home() + "/Blocked");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QtSettingsStore store;
  ::testing::internal::CaptureStderr();
  store.SaveSetting("Blocked", "Option", "KEY", "1");
  store.SaveSetting("Blocked", "Option", "KEY", "2");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, ::testing::HasSubstr("Blocked: cannot save settings to "));
  EXPECT_THAT(err, ::testing::HasSubstr("access denied"));
  EXPECT_EQ(err.find("cannot save"), err.rfind("cannot save"));
  EXPECT_TRUE(QFileInfo(config_home() + "/Blocked").isFile());
}

}  // namespace
}  // namespace wavorin
