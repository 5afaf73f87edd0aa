#include "platform/qt/region_table.h"

#include <QRect>
#include <optional>
#include <utility>

#include "platform/window_host.h"

namespace wavorin {

namespace {

int complexity(const QRegion& region) {
  if (region.isEmpty()) return NULLREGION;
  return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

RegionTable::RegionTable(Handle first_handle) : next_handle_(first_handle) {}

Handle RegionTable::CreateEllipticRgn(int left, int top, int right, int bottom) {
  return add(RegionShape::ellipse(left, top, right, bottom));
}

Handle RegionTable::CreateRectRgn(int left, int top, int right, int bottom) {
  return add(RegionShape::rectangle(left, top, right, bottom));
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
  std::optional<QRegion> result = combine(*a, *b, mode);
  if (!result) return RGN_ERROR;
  dest_it->second = std::move(*result);
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

Handle RegionTable::add(RegionShape shape) {
  const Handle handle = next_handle_++;
  // The region is the shape cut in window pixels.
  regions_.emplace(handle, shape.at(1.0));
  shapes_.emplace(handle, std::move(shape));
  return handle;
}

}  // namespace wavorin
