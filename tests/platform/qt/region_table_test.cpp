#include "platform/qt/region_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/window_host.h"

namespace wavorin {
namespace {

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
  const QRegion disc = RegionTable::elliptic_region(0, 0, 226, 226);
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
  const QRegion disc = RegionTable::elliptic_region(0, 0, 226, 226);
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
  const QRegion region = RegionTable::elliptic_region(l, t, r, b);
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0, ry = (b - t) / 2.0;
  for (int y = t - 1; y <= b; ++y) {
    for (int x = l - 1; x <= r; ++x) {
      const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      const bool inside = x >= l && x < r && y >= t && y < b && dx * dx + dy * dy < 1.0;
      EXPECT_EQ(region.contains(QPoint(x, y)), inside) << x << "," << y;
    }
  }
}

TEST(EllipticRegion, DegenerateBoxesAreEmptyAndReversedBoxesAreNormalised) {
  EXPECT_TRUE(RegionTable::elliptic_region(10, 10, 10, 40).isEmpty());
  EXPECT_TRUE(RegionTable::elliptic_region(10, 10, 40, 10).isEmpty());
  EXPECT_EQ(RegionTable::elliptic_region(226, 226, 0, 0),
            RegionTable::elliptic_region(0, 0, 226, 226));
  EXPECT_EQ(RegionTable::elliptic_region(0, 0, 1, 1), QRegion(0, 0, 1, 1));
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

TEST(RegionTable, CombineModesAndResultKinds) {
  RegionTable regions;
  const Handle a = regions.CreateRectRgn(0, 0, 10, 10);
  const Handle b = regions.CreateRectRgn(5, 0, 15, 10);
  const Handle far = regions.CreateRectRgn(100, 100, 110, 110);
  const Handle dest = regions.CreateRectRgn(0, 0, 0, 0);

  EXPECT_EQ(regions.CombineRgn(dest, a, b, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(0, 0, 15, 10));
  EXPECT_EQ(regions.CombineRgn(dest, a, b, 1), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(5, 0, 5, 10));
  EXPECT_EQ(regions.CombineRgn(dest, a, b, 3), COMPLEXREGION);
  EXPECT_EQ(regions.CombineRgn(dest, a, b, 4), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(0, 0, 5, 10));
  EXPECT_EQ(regions.CombineRgn(dest, a, far, 1), NULLREGION);
  EXPECT_EQ(regions.CombineRgn(dest, far, 0, 5), SIMPLEREGION);
  EXPECT_EQ(*regions.find(dest), QRegion(100, 100, 10, 10));
  // The sources are left as they were.
  EXPECT_EQ(*regions.find(a), QRegion(0, 0, 10, 10));
  // Each mode, cut again at the window's own ratio, gives the same pixels.
  for (int mode = 1; mode <= 5; ++mode) {
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
