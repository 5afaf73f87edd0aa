#include "platform/qt/startup/qpa_choice.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

namespace wavorin {
namespace {

// Puts QT_QPA_PLATFORM back after each test.
class QpaChoice : public ::testing::Test {
 protected:
  void TearDown() override { qputenv("QT_QPA_PLATFORM", saved_platform_); }

  QByteArray saved_platform_ = qgetenv("QT_QPA_PLATFORM");
};

TEST_F(QpaChoice, X11WhereItsServerLivesElseWaylandWhereACompositorAnswers) {
  qunsetenv("QT_QPA_PLATFORM");
  choose_platform(true, true);
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));

  // DISPLAY names a server that has gone: the compositor still answers.
  qunsetenv("QT_QPA_PLATFORM");
  choose_platform(false, true);
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("wayland"));

  // Neither: the toolkit's own choice, which the display check reports.
  qunsetenv("QT_QPA_PLATFORM");
  choose_platform(false, false);
  EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));

  // The user's choice stands, even an empty one.
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland"));
  choose_platform(true, false);
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("wayland"));
  qputenv("QT_QPA_PLATFORM", QByteArray());
  choose_platform(true, true);
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray());
}

}  // namespace
}  // namespace wavorin
