#include "platform/qt/drawing/surface.h"

#include <gtest/gtest.h>

namespace wavorin {
namespace {

// A surface whose every pixel differs: 0xFF000000 | (x << 12) | y.
QImage numbered(int width, int height) {
  QImage image(width, height, kSurfaceFormat);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000U | (x << 12) | y);
  }
  return image;
}

QRgb number(int x, int y) { return 0xFF000000U | (x << 12) | y; }

TEST(CopyBlock, CopiesTheBlockUnchangedAndNothingElse) {
  const QImage src = numbered(50, 40);
  QImage dest = make_surface({30, 30}, {});
  const QRgb background = surface_background().rgb();
  EXPECT_EQ(copy_block(dest, 5, 6, 10, 8, src, 20, 30), QRect(5, 6, 10, 8));
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 5 && x < 15 && y >= 6 && y < 14;
      ASSERT_EQ(dest.pixel(x, y), inside ? number(x - 5 + 20, y - 6 + 30) : background)
          << x << "," << y;
    }
  }
}

TEST(CopyBlock, ClipsAtEveryEdgeOfBothSurfaces) {
  const QImage src = numbered(20, 20);
  QImage dest = make_surface({10, 10}, {});
  // Negative destination: the block's first 3 columns and 2 rows fall off.
  EXPECT_EQ(copy_block(dest, -3, -2, 8, 8, src, 0, 0), QRect(0, 0, 5, 6));
  EXPECT_EQ(dest.pixel(0, 0), number(3, 2));
  // Negative source: skipped pixels shift the destination too.
  EXPECT_EQ(copy_block(dest, 0, 0, 5, 5, src, -2, -1), QRect(2, 1, 3, 4));
  EXPECT_EQ(dest.pixel(2, 1), number(0, 0));
  // Past the right and bottom edges of source and destination.
  EXPECT_EQ(copy_block(dest, 7, 8, 10, 10, src, 16, 0), QRect(7, 8, 3, 2));
  EXPECT_EQ(dest.pixel(9, 9), number(18, 1));
  // Wholly outside, empty or negative extents, and huge values.
  EXPECT_TRUE(copy_block(dest, 10, 0, 5, 5, src, 0, 0).isEmpty());
  EXPECT_TRUE(copy_block(dest, 0, 0, 5, 5, src, 20, 0).isEmpty());
  EXPECT_TRUE(copy_block(dest, 0, 0, 0, 5, src, 0, 0).isEmpty());
  EXPECT_TRUE(copy_block(dest, 0, 0, -5, 5, src, 0, 0).isEmpty());
  EXPECT_TRUE(copy_block(dest, INT_MAX, 0, INT_MAX, 5, src, INT_MIN, 0).isEmpty());
}

TEST(CopyBlock, OverlappingCopyWithinOneSurfaceReadsTheOriginal) {
  QImage image = numbered(20, 20);
  EXPECT_EQ(copy_block(image, 2, 3, 10, 10, image, 0, 0), QRect(2, 3, 10, 10));
  EXPECT_EQ(image.pixel(2, 3), number(0, 0));
  EXPECT_EQ(image.pixel(11, 12), number(9, 9));
  QImage up = numbered(20, 20);
  copy_block(up, 0, 0, 10, 10, up, 2, 3);
  EXPECT_EQ(up.pixel(0, 0), number(2, 3));
  EXPECT_EQ(up.pixel(9, 9), number(11, 12));
}

}  // namespace
}  // namespace wavorin
