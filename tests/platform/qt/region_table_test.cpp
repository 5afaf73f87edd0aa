#include "platform/qt/drawing/region_table.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/window_host.h"

namespace wavorin {
namespace {

// An elliptic region as the program makes one.
QRegion elliptic(int left, int top, int right, int bottom) {
  RegionTable regions;
  return *regions.find(regions.CreateEllipticRgn(left, top, right, bottom));
}

// The horizontal extent [first, last] of row y of a region, or {-1, -1}.
std::pair<int, int> row_extent(const QRegion& region, int y) {
  int first = -1;
  int last = -1;
  for (const QRect& rect : region) {
    if (y < rect.top() || y > rect.bottom()) continue;
    if (first < 0 || rect.left() < first) first = rect.left();
    last = std::max(last, rect.right());
  }
  return {first, last};
}

TEST(EllipticRegion, RowsOfTheCabinetDiscMatchPixelCentres) {
  const QRegion disc = elliptic(0, 0, 226, 226);
  EXPECT_EQ(row_extent(disc, 0), std::make_pair(102, 123));
  EXPECT_EQ(row_extent(disc, 225), std::make_pair(102, 123));
  EXPECT_EQ(row_extent(disc, 112), std::make_pair(0, 225));
  EXPECT_EQ(row_extent(disc, 113), std::make_pair(0, 225));
  // Row 56: dy = (56.5-113)/113 = -0.5, half width 113*sqrt(0.75) = 97.86,
  // so centres in (15.14, 210.86): x 15..210.
  EXPECT_EQ(row_extent(disc, 56), std::make_pair(15, 210));
  EXPECT_EQ(row_extent(disc, -1), std::make_pair(-1, -1));
  EXPECT_EQ(row_extent(disc, 226), std::make_pair(-1, -1));
  EXPECT_EQ(disc.boundingRect(), QRect(0, 0, 226, 226));
}

TEST(EllipticRegion, IsMirrorSymmetricBothWays) {
  const QRegion disc = elliptic(0, 0, 226, 226);
  for (int y = 0; y < 226; ++y) {
    const auto [first, last] = row_extent(disc, y);
    ASSERT_GE(first, 0) << "row " << y;
    EXPECT_EQ(first, 225 - last) << "row " << y;
    EXPECT_EQ(row_extent(disc, 225 - y), std::make_pair(first, last)) << "row " << y;
  }
}

TEST(EllipticRegion, HoldsExactlyThePixelsWhoseCentresAreInside) {
  // An odd, off-origin box: every pixel of it checked against the definition.
  const int l = 7, t = -3, r = 38, b = 20;
  const QRegion region = elliptic(l, t, r, b);
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0, ry = (b - t) / 2.0;
  for (int y = t - 1; y <= b; ++y) {
    for (int x = l - 1; x <= r; ++x) {
      const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      const bool inside = x >= l && x < r && y >= t && y < b && dx * dx + dy * dy < 1.0;
      EXPECT_EQ(region.contains(QPoint(x, y)), inside) << x << "," << y;
    }
  }
}

TEST(EllipticRegion, DegenerateBoxesAreEmptyReversedOnesNormalisedFarOnesWhole) {
  EXPECT_TRUE(elliptic(10, 10, 10, 40).isEmpty());
  EXPECT_TRUE(elliptic(10, 10, 40, 10).isEmpty());
  EXPECT_EQ(elliptic(226, 226, 0, 0), elliptic(0, 0, 226, 226));
  EXPECT_EQ(elliptic(0, 0, 1, 1), QRegion(0, 0, 1, 1));
  // At the far end of int the widest row still reaches the box's last pixel.
  constexpr int kMax = std::numeric_limits<int>::max();
  EXPECT_EQ(row_extent(elliptic(kMax - 1000, 0, kMax, 7), 3),
            std::make_pair(kMax - 1000, kMax - 1));
}

TEST(RegionTable, CabinetOutlineBuiltLikeTheProgram) {
  RegionTable regions;
  const Handle outline = regions.CreateEllipticRgn(0, 0, 226, 226);
  const Handle body = regions.CreateRectRgn(0, 113, 226, 327);
  const Handle left_foot = regions.CreateRectRgn(0, 327, 25, 332);
  const Handle right_foot = regions.CreateRectRgn(201, 327, 226, 332);
  EXPECT_EQ(regions.CombineRgn(outline, outline, body, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(regions.CombineRgn(outline, outline, left_foot, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(regions.CombineRgn(outline, outline, right_foot, RGN_OR), COMPLEXREGION);
  const QRegion* shape = regions.find(outline);
  ASSERT_NE(shape, nullptr);
  EXPECT_TRUE(shape->contains(QPoint(112, 5)));
  EXPECT_FALSE(shape->contains(QPoint(5, 5)));
  EXPECT_FALSE(shape->contains(QPoint(100, 330)));
  EXPECT_TRUE(shape->contains(QPoint(10, 330)));
  EXPECT_TRUE(shape->contains(QPoint(225, 326)));
  EXPECT_FALSE(shape->contains(QPoint(226, 200)));
  EXPECT_FALSE(shape->contains(QPoint(10, 332)));
  EXPECT_EQ(shape->boundingRect(), QRect(0, 0, 226, 332));

  // Cut again at device pixels: the same pixels at ratio 1, and the same
  // points at the device pixel under their centres at 1.5 and 2.
  const RegionShape* recipe = regions.shape(outline);
  ASSERT_NE(recipe, nullptr);
  EXPECT_EQ(recipe->at(1.0), *shape);
  for (const double r : {1.5, 2.0}) {
    const QRegion device = recipe->at(r);
    const auto at = [r](int x, int y) {
      return QPoint(static_cast<int>((x + 0.5) * r), static_cast<int>((y + 0.5) * r));
    };
    EXPECT_TRUE(device.contains(at(112, 5))) << r;
    EXPECT_TRUE(device.contains(at(10, 330))) << r;
    EXPECT_FALSE(device.contains(at(5, 5))) << r;
    EXPECT_FALSE(device.contains(at(100, 330))) << r;
    EXPECT_EQ(device.boundingRect(), QRect(0, 0, static_cast<int>(std::lround(226 * r)),
                                           static_cast<int>(std::lround(332 * r))))
        << r;
  }
}

// The cabinet's outline drawn independently of the program, in window
// pixels: the disc, the body below its middle, the two feet.
struct Box {
  double x0, y0, x1, y1;
};

bool in_outline(double x, double y) {
  const double dx = x - 113, dy = y - 113;
  if (dx * dx + dy * dy < 113.0 * 113.0) return true;
  if (y >= 113 && y < 327) return x >= 0 && x < 226;
  return y >= 327 && y < 332 && ((x >= 0 && x < 25) || (x >= 201 && x < 226));
}

// Whether the box lies wholly inside the outline: each of its pieces above,
// within and below the body lies in the disc (all corners) or in a rectangle.
bool wholly_inside(const Box& b) {
  for (const auto& [top, bottom] : {std::pair{-1e9, 113.0}, {113.0, 327.0}, {327.0, 1e9}}) {
    const Box p{b.x0, std::max(b.y0, top), b.x1, std::min(b.y1, bottom)};
    if (p.y1 <= p.y0) continue;
    const auto in_disc = [](double x, double y) {
      return (x - 113) * (x - 113) + (y - 113) * (y - 113) <= 113.0 * 113.0;
    };
    const bool disc =
        in_disc(p.x0, p.y0) && in_disc(p.x1, p.y0) && in_disc(p.x0, p.y1) && in_disc(p.x1, p.y1);
    const bool body = p.y0 >= 113 && p.y1 <= 327 && p.x0 >= 0 && p.x1 <= 226;
    const bool foot =
        p.y0 >= 327 && p.y1 <= 332 && ((p.x0 >= 0 && p.x1 <= 25) || (p.x0 >= 201 && p.x1 <= 226));
    if (!disc && !body && !foot) return false;
  }
  return true;
}

bool wholly_outside(const Box& b) {
  const double nx = std::clamp(113.0, b.x0, b.x1), ny = std::clamp(113.0, b.y0, b.y1);
  if ((nx - 113) * (nx - 113) + (ny - 113) * (ny - 113) < 113.0 * 113.0) return false;
  const auto overlaps = [&b](double x0, double y0, double x1, double y1) {
    return b.x0 < x1 && x0 < b.x1 && b.y0 < y1 && y0 < b.y1;
  };
  return !overlaps(0, 113, 226, 327) && !overlaps(0, 327, 25, 332) && !overlaps(201, 327, 226, 332);
}

// The pixels of an Alpha8 picture that are not wholly transparent.
QRegion covered_pixels(const QImage& coverage) {
  QRegion region;
  for (int y = 0; y < coverage.height(); ++y) {
    int first = -1;
    for (int x = 0; x <= coverage.width(); ++x) {
      const bool covered = x < coverage.width() && qAlpha(coverage.pixel(x, y)) != 0;
      if (covered && first < 0) first = x;
      if (!covered && first >= 0) {
        region += QRect(first, y, x - first, 1);
        first = -1;
      }
    }
  }
  return region;
}

TEST(RegionShape, CoverageOfTheCabinetIsEachDevicePixelsShareInsideTheOutline) {
  RegionTable regions;
  const Handle outline = regions.CreateEllipticRgn(0, 0, 226, 226);
  regions.CombineRgn(outline, outline, regions.CreateRectRgn(0, 113, 226, 327), RGN_OR);
  regions.CombineRgn(outline, outline, regions.CreateRectRgn(0, 327, 25, 332), RGN_OR);
  regions.CombineRgn(outline, outline, regions.CreateRectRgn(201, 327, 226, 332), RGN_OR);
  for (const double r : {1.0, 1.5, 2.0}) {
    const QSize size(static_cast<int>(std::ceil(225 * r)), static_cast<int>(std::ceil(332 * r)));
    const QImage alpha = regions.shape(outline)->coverage(r, size);
    ASSERT_EQ(alpha.size(), size);
    ASSERT_EQ(alpha.format(), QImage::Format_Alpha8);
    int edge = 0;
    for (int y = 0; y < size.height(); ++y) {
      for (int x = 0; x < size.width(); ++x) {
        const Box box{x / r, y / r, (x + 1) / r, (y + 1) / r};
        const int a = qAlpha(alpha.pixel(x, y));
        if (wholly_inside(box)) {
          ASSERT_EQ(a, 255) << x << "," << y << " at " << r;
        } else if (wholly_outside(box)) {
          ASSERT_EQ(a, 0) << x << "," << y << " at " << r;
        } else {
          // Measured on a finer grid of its own: the share within 10 %.
          int in = 0;
          for (int j = 0; j < 40; ++j)
            for (int i = 0; i < 40; ++i)
              in += in_outline(box.x0 + (i + 0.5) / 40 / r, box.y0 + (j + 0.5) / 40 / r) ? 1 : 0;
          ASSERT_NEAR(a, in * 255.0 / 1600, 26) << x << "," << y << " at " << r;
          ++edge;
        }
      }
    }
    // The round top and the feet's inner sides, at least, have an edge.
    EXPECT_GT(edge, 300 * r) << r;
    // At 1.5 the feet's inner sides and the body's bottom between them cut
    // device pixels in half: half covered is 128 of 255, rounded, not cut.
    if (r == 1.5) {
      for (const QPoint half : {QPoint(37, 495), QPoint(301, 495), QPoint(150, 490)})
        EXPECT_EQ(qAlpha(alpha.pixel(half)), 128) << half.x() << "," << half.y();
    }
    // What shows: the one-bit outline and a pixel around it, no more.
    const QRegion one_bit = regions.shape(outline)->at(r) & QRect(QPoint(0, 0), size);
    const QRegion shown = covered_pixels(alpha);
    EXPECT_EQ(one_bit - shown, QRegion()) << r;
    QRegion wider = one_bit;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) wider += one_bit.translated(dx, dy);
    EXPECT_EQ(shown - wider, QRegion()) << r;
    EXPECT_FALSE((shown - one_bit).isEmpty()) << r;
  }
}

TEST(RegionTable, CombineModesAndResultKinds) {
  RegionTable regions;
  const Handle a = regions.CreateRectRgn(0, 0, 10, 10);
  const Handle b = regions.CreateRectRgn(5, 0, 15, 10);
  const Handle far = regions.CreateRectRgn(100, 100, 110, 110);
  const Handle dest = regions.CreateRectRgn(0, 0, 0, 0);

  EXPECT_EQ(regions.CombineRgn(dest, a, b, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(0, 0, 15, 10));
  EXPECT_EQ(regions.CombineRgn(dest, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(5, 0, 5, 10));
  EXPECT_EQ(regions.CombineRgn(dest, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(regions.CombineRgn(dest, a, b, RGN_DIFF), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(0, 0, 5, 10));
  EXPECT_EQ(regions.CombineRgn(dest, a, far, RGN_AND), NULLREGION);
  EXPECT_EQ(regions.CombineRgn(dest, far, 0, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(100, 100, 10, 10));
  // The sources are left as they were.
  EXPECT_EQ(*regions.find(a), QRegion(0, 0, 10, 10));
  // Each mode, cut again at the window's own ratio, gives the same pixels.
  for (const int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
    regions.CombineRgn(dest, b, a, mode);
    EXPECT_EQ(regions.shape(dest)->at(1.0), *regions.find(dest)) << "mode " << mode;
  }
}

TEST(RegionTable, BadHandlesAndModesFailWithoutChangingAnything) {
  RegionTable regions;
  const Handle a = regions.CreateRectRgn(0, 0, 10, 10);
  EXPECT_EQ(regions.CombineRgn(a, a, 12345, RGN_OR), RGN_ERROR);
  EXPECT_EQ(regions.CombineRgn(12345, a, a, RGN_OR), RGN_ERROR);
  EXPECT_EQ(regions.CombineRgn(a, a, a, 0), RGN_ERROR);
  EXPECT_EQ(regions.CombineRgn(a, a, a, 6), RGN_ERROR);
  EXPECT_EQ(*regions.find(a), QRegion(0, 0, 10, 10));
}

TEST(RegionTable, DeleteObjectFreesOnlyKnownHandles) {
  RegionTable regions;
  const Handle a = regions.CreateRectRgn(0, 0, 10, 10);
  const Handle b = regions.CreateEllipticRgn(0, 0, 10, 10);
  EXPECT_NE(a, 0U);
  EXPECT_NE(a, b);
  EXPECT_FALSE(regions.DeleteObject(0));
  EXPECT_FALSE(regions.DeleteObject(b + 1000));
  EXPECT_TRUE(regions.DeleteObject(a));
  EXPECT_FALSE(regions.DeleteObject(a));
  EXPECT_EQ(regions.find(a), nullptr);
  EXPECT_NE(regions.find(b), nullptr);
  EXPECT_EQ(regions.size(), 1U);
}

}  // namespace
}  // namespace wavorin
