#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/qt/window/qt_window_host.h"
#include "tests/platform/qt/test_window.h"

namespace wavorin::test {

// A host built from the test window, and a way to drive it from inside its
// own event loop.
class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pictures_.isValid());
    tpp_ = 1440.0F / static_cast<float>(QGuiApplication::primaryScreen()->logicalDotsPerInchX());
    host_ = std::make_unique<QtWindowHost>(make_description(pictures_.path(), tpp_, interval_ms()));
  }

  virtual int interval_ms() const { return 100; }

  // Runs the host with `events`; `script` runs once the window is shown, and
  // the program then ends (unless the script ended it already). Returns the
  // exit status.
  int run_script(const std::function<void()>& script) {
    QTimer::singleShot(0, [this, script] {
      script();
      if (!host_->ended()) host_->End();
    });
    return host_->run(events_);
  }

  QTemporaryDir pictures_;
  float tpp_ = 15.0F;
  std::unique_ptr<QtWindowHost> host_;
  RecordingEvents events_;
};

}  // namespace wavorin::test
