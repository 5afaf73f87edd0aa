// What the window shows: the retained image, the Images over it, BitBlt into
// it and Refresh putting exactly the changed part on screen.

#include <QPaintEvent>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include "platform/qt/form_scene.h"
#include "platform/qt/region_shape.h"
#include "platform/qt/surface.h"
#include "tests/platform/qt/host_fixture.h"

namespace wavorin::test {
namespace {

using Painting = HostFixture;

QColor shown_at(QWidget* widget, QPoint point) {
  return widget->grab().toImage().pixelColor(point);
}

// Records the region of every paint event of the watched widget.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
  std::vector<QRegion> regions;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
};

TEST_F(Painting, SkinAtItsOwnSizeImagesOverItHiddenImagesNotDrawn) {
  QWidget* w = host_->widget();
  EXPECT_EQ(w->size(), QSize(470, 356));
  EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(w->windowTitle(), QString("Wave Jukebox"));
  EXPECT_EQ(shown_at(w, {5, 5}), kSkinColour);
  EXPECT_EQ(shown_at(w, {224, 331}), kSkinColour);
  EXPECT_EQ(shown_at(w, {225, 100}), surface_background());
  EXPECT_EQ(shown_at(w, {100, 340}), surface_background());
  // b_ply is shown over the hidden p_ply at the same place.
  EXPECT_EQ(shown_at(w, button_rect(Element::b_ply).center()), kButtonColour);
  EXPECT_EQ(shown_at(w, button_rect(Element::b_ply).bottomRight()), kButtonColour);
  EXPECT_EQ(shown_at(w, button_rect(Element::b_ply).bottomRight() + QPoint(1, 1)), kSkinColour);
}

TEST_F(Painting, VisibleAndMoveChangeWhatIsDrawnWhere) {
  QWidget* w = host_->widget();
  const QPoint centre = button_rect(Element::b_ply).center();
  host_->set_Visible(Element::b_ply, false);
  host_->set_Visible(Element::p_ply, true);
  EXPECT_EQ(shown_at(w, centre), kPressedColour);
  host_->set_Visible(Element::p_ply, false);
  EXPECT_EQ(shown_at(w, centre), kSkinColour);

  // A larger rectangle shows the 40 x 30 picture at its top-left, unstretched.
  host_->set_Visible(Element::b_ply, true);
  host_->Move(Element::b_ply, 100, 20, 80, 60);
  EXPECT_EQ(shown_at(w, centre), kSkinColour);
  EXPECT_EQ(shown_at(w, {100, 20}), kButtonColour);
  EXPECT_EQ(shown_at(w, {139, 49}), kButtonColour);
  EXPECT_EQ(shown_at(w, {140, 49}), kSkinColour);
  // A smaller rectangle clips it.
  host_->Move(Element::b_ply, 100, 20, 10, 10);
  EXPECT_EQ(shown_at(w, {109, 29}), kButtonColour);
  EXPECT_EQ(shown_at(w, {110, 29}), kSkinColour);
  EXPECT_EQ(shown_at(w, {109, 30}), kSkinColour);
}

TEST_F(Painting, BitBltFromTheStripStaysInTheRetainedImage) {
  QWidget* w = host_->widget();
  const Handle form_dc = host_->hDC(Element::Form1);
  const Handle strip_dc = host_->hDC(Element::ani_p);
  ASSERT_NE(form_dc, 0U);
  ASSERT_NE(strip_dc, 0U);
  EXPECT_NE(form_dc, strip_dc);
  EXPECT_EQ(host_->hDC(Element::b_ply), 0U);
  EXPECT_EQ(host_->hDC(Element::Timer1), 0U);

  // Frame 3 of the hidden strip onto the window's top: exactly that block.
  EXPECT_TRUE(host_->BitBlt(form_dc, 0, 0, 225, 120, strip_dc, 0, 360, SRCCOPY));
  EXPECT_EQ(shown_at(w, {0, 0}), strip_colour(3));
  EXPECT_EQ(shown_at(w, {224, 119}), strip_colour(3));
  EXPECT_EQ(shown_at(w, {224, 120}), kSkinColour);
  EXPECT_EQ(shown_at(w, {225, 0}), surface_background());
  // Resizing the window neither clears nor shrinks what was drawn.
  host_->set_Width(100 * tpp_);
  host_->set_Width(470 * tpp_);
  EXPECT_EQ(shown_at(w, {224, 119}), strip_colour(3));
  // The last frame, clipped at the strip's bottom: the rest is left alone.
  EXPECT_TRUE(host_->BitBlt(form_dc, 0, 0, 225, 120, strip_dc, 0, 900, SRCCOPY));
  EXPECT_EQ(shown_at(w, {10, 59}), strip_colour(7));
  EXPECT_EQ(shown_at(w, {10, 60}), strip_colour(3));

  // Taken to a screen of ratio 2, the window draws from pictures of that
  // ratio and keeps both copies; painted on this screen of ratio 1 again, it
  // notices and goes back, keeping them again.
  host_->use_device_ratio(2.0);
  EXPECT_EQ(host_->device_ratio(), 2.0);
  EXPECT_EQ(shown_at(w, {10, 59}), strip_colour(7));
  EXPECT_EQ(shown_at(w, {10, 60}), strip_colour(3));
  EXPECT_EQ(shown_at(w, {224, 120}), kSkinColour);
  EXPECT_EQ(host_->device_ratio(), 1.0);
}

TEST_F(Painting, BitBltRefusesBadHandlesAndOtherOperations) {
  const Handle form_dc = host_->hDC(Element::Form1);
  const Handle strip_dc = host_->hDC(Element::ani_p);
  EXPECT_FALSE(host_->BitBlt(0, 0, 0, 10, 10, strip_dc, 0, 0, SRCCOPY));
  EXPECT_FALSE(host_->BitBlt(form_dc, 0, 0, 10, 10, host_->hWnd(), 0, 0, SRCCOPY));
  EXPECT_FALSE(host_->BitBlt(form_dc, 0, 0, 10, 10, strip_dc, 0, 0, 0x00EE0086 /*SRCPAINT*/));
  EXPECT_EQ(shown_at(host_->widget(), {5, 5}), kSkinColour);
  // Clipped away entirely is not an error.
  EXPECT_TRUE(host_->BitBlt(form_dc, 5000, 0, 10, 10, strip_dc, 0, 0, SRCCOPY));
}

TEST_F(Painting, RefreshRepaintsOnlyWhatChanged) {
  QWidget* w = host_->widget();
  w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  QCoreApplication::processEvents();
  PaintRecorder recorder(w);
  const Handle form_dc = host_->hDC(Element::Form1);
  const Handle strip_dc = host_->hDC(Element::ani_p);

  host_->BitBlt(form_dc, 10, 10, 20, 20, strip_dc, 0, 0, SRCCOPY);
  host_->BitBlt(form_dc, 100, 50, 5, 5, strip_dc, 0, 0, SRCCOPY);
  host_->Refresh(Element::Form1);
  ASSERT_EQ(recorder.regions.size(), 1U);
  EXPECT_EQ(recorder.regions[0], QRegion(10, 10, 20, 20) | QRegion(100, 50, 5, 5));

  host_->Refresh(Element::Form1);
  EXPECT_EQ(recorder.regions.size(), 1U) << "nothing changed, nothing painted";

  host_->Refresh(Element::b_stp);
  ASSERT_EQ(recorder.regions.size(), 2U);
  EXPECT_EQ(recorder.regions[1], QRegion(button_rect(Element::b_stp)));
  EXPECT_EQ(w->grab().toImage().pixelColor(29, 29), strip_colour(0));
  w->hide();
}

// Where a compositor runs, the window is painted through the outline's
// coverage: at every ratio, pixels wholly inside show the skin unchanged,
// pixels wholly outside are transparent, edge pixels are the skin at the
// pixel's share. Painted twice over, as the animation repaints its area, the
// result is the same: nothing builds up at the edge.
TEST(SceneCoverage, SkinUnchangedInsideTransparentOutsideBlendedAtTheEdge) {
  const RegionShape outline = RegionShape::combined(
      RegionShape::ellipse(0, 0, 226, 226), RegionShape::rectangle(0, 113, 226, 332), RGN_OR);
  for (const double r : {1.0, 1.5, 2.0}) {
    const QSize device(static_cast<int>(std::ceil(225 * r)), static_cast<int>(std::ceil(332 * r)));
    QImage skin(device, QImage::Format_RGB32);
    for (int y = 0; y < device.height(); ++y)
      for (int x = 0; x < device.width(); ++x) skin.setPixel(x, y, qRgb(x % 256, y % 256, 200));
    FormScene scene(QSize(225, 332), skin, r);
    scene.set_coverage(outline.coverage(r, scene.retained().size()));
    const QImage& alpha = scene.coverage();
    QImage out(scene.retained().size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    out.setDevicePixelRatio(r);
    for (const QRect area : {QRect(0, 0, 225, 332), QRect(0, 0, 225, 120)}) {
      QPainter painter(&out);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.fillRect(area, Qt::transparent);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
      scene.paint(painter, area);
      scene.apply_coverage(painter, area);
    }
    int edge = 0;
    for (int y = 0; y < device.height(); ++y) {
      for (int x = 0; x < device.width(); ++x) {
        const int a = qAlpha(alpha.pixel(x, y));
        const QRgb shown = out.pixel(x, y);
        const QRgb want = skin.pixel(x, y);
        if (a == 255) {
          ASSERT_EQ(shown, want) << x << "," << y << " at " << r;
        } else if (a == 0) {
          ASSERT_EQ(qAlpha(shown), 0) << x << "," << y << " at " << r;
        } else {
          ++edge;
          ASSERT_NEAR(qAlpha(shown), a, 1) << x << "," << y << " at " << r;
          const QRgb colour = qUnpremultiply(shown);
          ASSERT_NEAR(qRed(colour), qRed(want), 255.0 / a + 1) << x << "," << y << " at " << r;
          ASSERT_NEAR(qGreen(colour), qGreen(want), 255.0 / a + 1) << x << "," << y << " at " << r;
        }
      }
    }
    EXPECT_GT(edge, 300 * r) << r;
    EXPECT_EQ(qAlpha(out.pixel(0, 0)), 0) << r;
    EXPECT_EQ(out.pixel(QPoint(112, 200) * r), skin.pixel(QPoint(112, 200) * r)) << r;
  }
}

}  // namespace
}  // namespace wavorin::test
