#include "platform/qt/region_table.h"

#include <QRect>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/window_host.h"

namespace wavorin {

namespace {

constexpr int RGN_AND = 1;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

int complexity(const QRegion& region) {
  if (region.isEmpty()) return NULLREGION;
  return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

RegionTable::RegionTable(Handle first_handle) : next_handle_(first_handle) {}

QRegion RegionTable::elliptic_region(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  QRegion region;
  if (right - left < 1 || bottom - top < 1) return region;

  const double cx = (static_cast<double>(left) + right) / 2.0;
  const double cy = (static_cast<double>(top) + bottom) / 2.0;
  const double rx = (static_cast<double>(right) - left) / 2.0;
  const double ry = (static_cast<double>(bottom) - top) / 2.0;
  const auto inside = [&](int x, double dy2) {
    const double dx = (x + 0.5 - cx) / rx;
    return dx * dx + dy2 < 1.0;
  };

  for (int y = top; y < bottom; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    const double dy2 = dy * dy;
    if (dy2 >= 1.0) continue;
    // The analytic half-width gives the edge to within rounding; the exact
    // test then settles the pixels next to it, so rows match pixel by pixel.
    const double half = rx * std::sqrt(1.0 - dy2);
    int first = std::max(left, static_cast<int>(std::floor(cx - half - 0.5)) - 1);
    while (first < right && !inside(first, dy2)) ++first;
    while (first > left && inside(first - 1, dy2)) --first;
    if (first >= right || !inside(first, dy2)) continue;
    // The ellipse is symmetric about cx: the last pixel mirrors the first.
    const int last = left + right - 1 - first;
    region += QRect(first, y, last - first + 1, 1);
  }
  return region;
}

Handle RegionTable::CreateEllipticRgn(int left, int top, int right, int bottom) {
  return add(elliptic_region(left, top, right, bottom),
             RegionShape::ellipse(left, top, right, bottom));
}

Handle RegionTable::CreateRectRgn(int left, int top, int right, int bottom) {
  const RegionShape shape = RegionShape::rectangle(left, top, right, bottom);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return add(QRegion(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1))), shape);
}

int RegionTable::CombineRgn(Handle dest, Handle src1, Handle src2, int mode) {
  const auto dest_it = regions_.find(dest);
  const QRegion* a = find(src1);
  if (dest_it == regions_.end() || a == nullptr) return RGN_ERROR;
  if (mode == RGN_COPY) {
    dest_it->second = *a;
    shapes_[dest] = shapes_[src1];
    return complexity(dest_it->second);
  }
  const QRegion* b = find(src2);
  if (b == nullptr) return RGN_ERROR;
  QRegion result;
  switch (mode) {
    case RGN_AND:
      result = *a & *b;
      break;
    case RGN_OR:
      result = *a | *b;
      break;
    case RGN_XOR:
      result = *a ^ *b;
      break;
    case RGN_DIFF:
      result = *a - *b;
      break;
    default:
      return RGN_ERROR;
  }
  dest_it->second = std::move(result);
  shapes_[dest] = RegionShape::combined(shapes_[src1], shapes_[src2], mode);
  return complexity(dest_it->second);
}

bool RegionTable::DeleteObject(Handle rgn) {
  shapes_.erase(rgn);
  return regions_.erase(rgn) == 1;
}

const QRegion* RegionTable::find(Handle rgn) const {
  const auto it = regions_.find(rgn);
  return it == regions_.end() ? nullptr : &it->second;
}

const RegionShape* RegionTable::shape(Handle rgn) const {
  const auto it = shapes_.find(rgn);
  return it == shapes_.end() ? nullptr : &it->second;
}

Handle RegionTable::add(QRegion region, RegionShape shape) {
  const Handle handle = next_handle_++;
  regions_.emplace(handle, std::move(region));
  shapes_.emplace(handle, std::move(shape));
  return handle;
}

}  // namespace wavorin
