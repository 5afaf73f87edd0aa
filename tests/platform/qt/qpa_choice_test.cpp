#include "platform/qt/qpa_choice.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

namespace wavorin {
namespace {

// Sets DISPLAY and QT_QPA_PLATFORM for one test and puts them back after.
class QpaChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_display_ = qgetenv("DISPLAY");
    had_display_ = qEnvironmentVariableIsSet("DISPLAY");
    saved_platform_ = qgetenv("QT_QPA_PLATFORM");
  }
  void TearDown() override {
    if (had_display_) {
      qputenv("DISPLAY", saved_display_);
    } else {
      qunsetenv("DISPLAY");
    }
    qputenv("QT_QPA_PLATFORM", saved_platform_);
  }

  QByteArray saved_display_;
  bool had_display_ = false;
  QByteArray saved_platform_;
};

TEST_F(QpaChoice, PicksX11OnlyWithADisplayAndNoChoiceMade) {
  qputenv("DISPLAY", QByteArrayLiteral(":0"));
  qunsetenv("QT_QPA_PLATFORM");
  choose_x11_platform();
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));

  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland"));
  choose_x11_platform();
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("wayland"));

  qunsetenv("DISPLAY");
  qunsetenv("QT_QPA_PLATFORM");
  choose_x11_platform();
  EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
}

}  // namespace
}  // namespace wavorin
