#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Every test process gets the offscreen platform and a settings folder of its
// own, both fixed before Qt reads them.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QTemporaryDir config_home;
  if (!config_home.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_home.path()));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
