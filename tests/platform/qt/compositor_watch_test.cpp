// The compositor watch on a real X server (run through scripts/with-display.sh):
// the test itself takes the compositor's selection, as a compositing manager
// does when it starts, and lets it go, as one does when it ends.
#include "platform/qt/window/compositor_watch.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

namespace wavorin {
namespace {

// A client of its own that owns _NET_WM_CM_S<screen> while it lives.
class FakeCompositor {
 public:
  FakeCompositor() : connection_(xcb_connect(nullptr, &screen_)) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen_; ++i) xcb_screen_next(&it);
    window_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, it.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen_);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
            nullptr),
        &std::free);
    xcb_set_selection_owner(connection_, window_, atom->atom, XCB_CURRENT_TIME);
    xcb_flush(connection_);
  }
  ~FakeCompositor() { xcb_disconnect(connection_); }
  FakeCompositor(const FakeCompositor&) = delete;
  FakeCompositor& operator=(const FakeCompositor&) = delete;

  // Gives the selection up by destroying its owner window.
  void destroy_owner() {
    xcb_destroy_window(connection_, window_);
    xcb_flush(connection_);
  }

 private:
  int screen_ = 0;
  xcb_connection_t* connection_;
  xcb_window_t window_ = 0;
};

TEST(CompositorWatch, FollowsTheCompositorSelectionAsItsOwnerComesAndGoes) {
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    GTEST_SKIP() << "needs an X display (scripts/with-display.sh)";
  CompositorWatch watch;
  if (watch.active()) GTEST_SKIP() << "a compositor already runs on this display";
  int changes = 0;
  QObject::connect(&watch, &CompositorWatch::changed, [&changes] { ++changes; });

  auto first = std::make_unique<FakeCompositor>();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch.active(); }, 5000)) << "start not seen";
  first->destroy_owner();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !watch.active(); }, 5000)) << "owner's end not seen";
  auto second = std::make_unique<FakeCompositor>();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch.active(); }, 5000)) << "restart not seen";
  second.reset();  // the client ends without giving anything up
  EXPECT_TRUE(QTest::qWaitFor([&] { return !watch.active(); }, 5000)) << "client's end not seen";
  EXPECT_EQ(changes, 4);
}

}  // namespace
}  // namespace wavorin

// The X11 platform where a display is given; the test skips without one.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? QByteArrayLiteral("offscreen")
                                                                    : QByteArrayLiteral("xcb"));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
