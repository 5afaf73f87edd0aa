// The compositor watch and the window's own shadow on a real X server (run
// through scripts/with-display.sh): the test itself takes the compositor's
// selection, as a compositing manager does when it starts, and lets it go,
// as one does when it ends.
#include "platform/qt/window/compositor_watch.h"

#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QRegion>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/window/qt_window_host.h"
#include "tests/platform/qt/test_window.h"

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

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// The X server's own view of a window, through a connection of the test's.
class XView {
 public:
  explicit XView(xcb_window_t window)
      : connection_(xcb_connect(nullptr, nullptr)), window_(window) {}
  ~XView() { xcb_disconnect(connection_); }
  XView(const XView&) = delete;
  XView& operator=(const XView&) = delete;

  // The window's rectangle on the screen.
  QRect rect() const {
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr),
        &std::free);
    if (geometry == nullptr) return {};
    const ReplyPtr<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window_, geometry->root, 0, 0),
            nullptr),
        &std::free);
    if (at == nullptr) return {};
    return {at->dst_x, at->dst_y, geometry->width, geometry->height};
  }
  // _GTK_FRAME_EXTENTS (left, right, top, bottom); empty when not set.
  std::vector<std::uint32_t> frame_extents() const {
    static constexpr char kName[] = "_GTK_FRAME_EXTENTS";
    const ReplyPtr<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, sizeof kName - 1, kName),
                              nullptr),
        &std::free);
    const ReplyPtr<xcb_get_property_reply_t> property(
        xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window_, atom->atom, XCB_ATOM_CARDINAL, 0, 4),
            nullptr),
        &std::free);
    if (property == nullptr || property->format != 32) return {};
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
    return {values, values + xcb_get_property_value_length(property.get()) / 4};
  }
  // The pixels of the window that take the mouse.
  QRegion input() const {
    const ReplyPtr<xcb_shape_get_rectangles_reply_t> shape(
        xcb_shape_get_rectangles_reply(
            connection_, xcb_shape_get_rectangles(connection_, window_, XCB_SHAPE_SK_INPUT),
            nullptr),
        &std::free);
    QRegion region;
    if (shape == nullptr) return region;
    const xcb_rectangle_t* r = xcb_shape_get_rectangles_rectangles(shape.get());
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(shape.get()); ++i)
      region += QRect(r[i].x, r[i].y, r[i].width, r[i].height);
    return region;
  }

 private:
  xcb_connection_t* connection_;
  xcb_window_t window_;
};

// Where a compositor comes, the window grows by the margin of the cabinet's
// own shadow, draws the shadow there and tells the desktop where the cabinet
// lies in it; the cabinet keeps its place, size and outline for the mouse,
// so the position the program reads and stores is the cabinet's. When the
// compositor goes, so does the margin.
TEST(CabinetShadow, ComesAndGoesWithTheCompositorAroundACabinetThatStaysPut) {
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    GTEST_SKIP() << "needs an X display (scripts/with-display.sh)";
  if (CompositorWatch().active()) GTEST_SKIP() << "a compositor already runs on this display";
  QTemporaryDir pictures;
  const float tpp =
      1440.0F / static_cast<float>(QGuiApplication::primaryScreen()->logicalDotsPerInchX());
  QtWindowHost host(test::make_description(pictures.path(), tpp));
  host.set_Left(200 * tpp);
  host.set_Top(150 * tpp);
  host.set_Width(225 * tpp);
  host.set_Height(332 * tpp);
  const Handle outline = host.CreateEllipticRgn(0, 0, 226, 226);
  const Handle body = host.CreateRectRgn(0, 113, 226, 327);
  host.CombineRgn(outline, outline, body, RGN_OR);
  QWidget* widget = host.widget();
  widget->winId();  // the shapes are cut on the native window
  host.SetWindowRgn(host.hWnd(), outline, true);
  widget->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
  const XView x(static_cast<xcb_window_t>(widget->winId()));

  const auto expect_cabinet_at_its_place = [&](int margin) {
    // Qt may still be taking in the window manager's older word on where
    // the window was when the X server already has it in its new place.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          return x.rect() ==
                     QRect(200 - margin, 150 - margin, 225 + 2 * margin, 332 + 2 * margin) &&
                 std::abs(host.Left() - 200 * tpp) < 1 && std::abs(host.Top() - 150 * tpp) < 1;
        },
        5000))
        << "the window is at " << x.rect().x() << "," << x.rect().y() << ", " << x.rect().width()
        << " x " << x.rect().height() << ", margin " << margin;
    EXPECT_FLOAT_EQ(host.Left(), 200 * tpp);
    EXPECT_FLOAT_EQ(host.Top(), 150 * tpp);
    EXPECT_FLOAT_EQ(host.Width(), 225 * tpp);
    EXPECT_FLOAT_EQ(host.ScaleHeight(), 332.F);
    const QRegion input = x.input();
    EXPECT_TRUE(input.contains(QPoint(margin + 112, margin + 5)));
    EXPECT_FALSE(input.contains(QPoint(margin + 5, margin + 5))) << "a cut-away corner";
    EXPECT_FALSE(input.contains(QPoint(margin + 112, margin + 330))) << "beneath the cabinet";
  };
  expect_cabinet_at_its_place(0);
  EXPECT_TRUE(x.frame_extents().empty());

  auto compositor = std::make_unique<FakeCompositor>();
  ASSERT_TRUE(QTest::qWaitFor([&] { return widget->contentsMargins().left() > 0; }, 5000));
  const int m = widget->contentsMargins().left();
  EXPECT_EQ(m, 20);
  expect_cabinet_at_its_place(m);
  EXPECT_EQ(x.frame_extents(), std::vector<std::uint32_t>(4, m));
  // The shadow beneath the cabinet, fading out within the margin; the
  // cabinet itself is the skin.
  QImage shot(widget->size(), QImage::Format_ARGB32_Premultiplied);
  shot.fill(Qt::transparent);
  widget->render(&shot, {}, {}, QWidget::DrawChildren);
  const auto shade = [&](int x_px, int y_px) { return qAlpha(shot.pixel(m + x_px, m + y_px)); };
  EXPECT_GT(shade(112, 329), shade(112, 337));
  EXPECT_GT(shade(112, 337), 0);
  EXPECT_EQ(shade(112, 332 + m - 1), 0);
  EXPECT_EQ(shade(-m, 200), 0);
  EXPECT_EQ(QColor(shot.pixel(m + 112, m + 250)), test::kSkinColour);

  compositor.reset();
  ASSERT_TRUE(QTest::qWaitFor([&] { return widget->contentsMargins().left() == 0; }, 5000));
  expect_cabinet_at_its_place(0);
  EXPECT_TRUE(x.frame_extents().empty());
  widget->hide();
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
