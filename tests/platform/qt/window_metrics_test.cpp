// Twips, screens, the program's folder and the window's shape.

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "tests/platform/qt/host_fixture.h"

namespace wavorin::test {
namespace {

using WindowMetrics = HostFixture;

TEST_F(WindowMetrics, TwipsPerPixelFollowsTheScreenDpi) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  EXPECT_FLOAT_EQ(host_->TwipsPerPixelX(),
                  1440.F / static_cast<float>(screen->logicalDotsPerInchX()));
  EXPECT_FLOAT_EQ(host_->TwipsPerPixelY(),
                  1440.F / static_cast<float>(screen->logicalDotsPerInchY()));
  EXPECT_GT(host_->TwipsPerPixelX(), 0.F);
}

TEST_F(WindowMetrics, PositionAndSizeInTwipsRoundToWholePixels) {
  const float tx = host_->TwipsPerPixelX();
  const float ty = host_->TwipsPerPixelY();
  QWidget* w = host_->widget();
  EXPECT_FLOAT_EQ(host_->Width(), 470 * tx);
  EXPECT_FLOAT_EQ(host_->Height(), 356 * ty);

  host_->set_Left(100.4F * tx);
  host_->set_Top(-20.6F * ty);
  EXPECT_EQ(w->pos(), QPoint(100, -21));
  EXPECT_FLOAT_EQ(host_->Left(), 100 * tx);
  EXPECT_FLOAT_EQ(host_->Top(), -21 * ty);

  host_->set_Width(225 * tx);
  host_->set_Height(332.5F * ty);
  EXPECT_EQ(w->size(), QSize(225, 333));
  EXPECT_FLOAT_EQ(host_->ScaleWidth(), 225.F);
  EXPECT_FLOAT_EQ(host_->ScaleHeight(), 333.F);
  EXPECT_FLOAT_EQ(host_->Height(), 333 * ty);

  // The same after the window is shown.
  w->show();
  host_->set_Left(40 * tx);
  EXPECT_EQ(w->pos().x(), 40);
  EXPECT_FLOAT_EQ(host_->Left(), 40 * tx);
  EXPECT_FLOAT_EQ(host_->Width(), 225 * tx);
  w->hide();
}

// A native Wayland client cannot know where its window is: the position it
// is given comes back exactly, the window is not moved, and no screen is
// offered to compare a position with. The size is still the window's.
TEST_F(WindowMetrics, AnUnknownPositionIsKeptAsGivenAndNeitherAppliedNorCompared) {
  QWidget* w = host_->widget();
  w->move(30, 40);
  wavorin::WindowMetrics unknown(*w, false);
  unknown.set_left(60000.F);
  unknown.set_top(-1500.5F);
  EXPECT_EQ(w->pos(), QPoint(30, 40));
  EXPECT_FLOAT_EQ(unknown.left(), 60000.F);
  EXPECT_FLOAT_EQ(unknown.top(), -1500.5F);
  EXPECT_TRUE(unknown.screens().empty());
  EXPECT_FLOAT_EQ(unknown.width(), host_->Width());
}

TEST_F(WindowMetrics, ScreensAndWorkAreaInTwips) {
  const float tx = host_->TwipsPerPixelX();
  const float ty = host_->TwipsPerPixelY();
  const auto screens = host_->Screens();
  ASSERT_EQ(screens.size(), static_cast<std::size_t>(QGuiApplication::screens().size()));
  const QRect first = QGuiApplication::screens().front()->geometry();
  EXPECT_FLOAT_EQ(screens[0].left, first.left() * tx);
  EXPECT_FLOAT_EQ(screens[0].width, first.width() * tx);
  EXPECT_FLOAT_EQ(screens[0].height, first.height() * ty);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const TwipRect work = host_->PrimaryWorkArea();
  EXPECT_FLOAT_EQ(work.top, area.top() * ty);
  EXPECT_FLOAT_EQ(work.width, area.width() * tx);
}

TEST_F(WindowMetrics, AppPathIsTheExecutablesFolderWithoutTrailingSeparator) {
  const std::string path = host_->App_Path();
  EXPECT_EQ(path, QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString());
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.back(), '/');
}

TEST_F(WindowMetrics, WindowRegionCutsTheShapeAndOutlivesItsHandle) {
  QWidget* w = host_->widget();
  const Handle rgn = host_->CreateEllipticRgn(0, 0, 226, 226);
  const Handle body = host_->CreateRectRgn(0, 113, 226, 327);
  EXPECT_NE(rgn, host_->hWnd());
  EXPECT_NE(rgn, host_->hDC(Element::Form1));
  EXPECT_EQ(host_->CombineRgn(rgn, rgn, body, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(host_->SetWindowRgn(host_->hWnd(), rgn, true), 1);
  EXPECT_TRUE(host_->DeleteObject(rgn));
  EXPECT_TRUE(host_->DeleteObject(body));
  EXPECT_FALSE(host_->DeleteObject(rgn));
  EXPECT_TRUE(w->mask().contains(QPoint(112, 5)));
  EXPECT_FALSE(w->mask().contains(QPoint(5, 5)));
  EXPECT_TRUE(w->mask().contains(QPoint(5, 300)));

  // Bad handles change nothing.
  EXPECT_EQ(host_->SetWindowRgn(host_->hWnd(), rgn, true), 0);
  EXPECT_EQ(host_->SetWindowRgn(host_->hWnd() + 7, host_->CreateRectRgn(0, 0, 5, 5), true), 0);
  EXPECT_TRUE(w->mask().contains(QPoint(112, 5)));
  // An empty region leaves nothing of the window; no region restores it.
  EXPECT_EQ(host_->SetWindowRgn(host_->hWnd(), host_->CreateRectRgn(0, 0, 0, 0), false), 1);
  EXPECT_FALSE(w->mask().contains(QPoint(112, 5)));
  EXPECT_FALSE(w->mask().isEmpty());
  EXPECT_EQ(host_->SetWindowRgn(host_->hWnd(), 0, false), 1);
  EXPECT_TRUE(w->mask().isEmpty());
}

}  // namespace
}  // namespace wavorin::test
