#pragma once

#include <QRegion>
#include <map>

#include "platform/handles.h"
#include "platform/qt/region_shape.h"

namespace wavorin {

// The program's region objects, addressed by handle. Regions are pixel sets
// whose right and bottom edges are excluded, as the window manager sees them.
class RegionTable {
 public:
  // Handles are drawn from their own range so that a window or drawing-surface
  // handle is never mistaken for a region.
  explicit RegionTable(Handle first_handle = 0x00400000);

  // Both cut in window pixels as RegionShape::at(1.0) cuts them.
  Handle CreateEllipticRgn(int left, int top, int right, int bottom);
  Handle CreateRectRgn(int left, int top, int right, int bottom);
  // mode: RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY (src2 unused). dest
  // may be one of the sources. Returns NULLREGION, SIMPLEREGION, COMPLEXREGION or
  // RGN_ERROR for an unknown handle or mode.
  int CombineRgn(Handle dest, Handle src1, Handle src2, int mode);
  bool DeleteObject(Handle rgn);

  // nullptr for an unknown handle.
  const QRegion* find(Handle rgn) const;
  // How the region was made, to cut it again at another resolution; nullptr
  // for an unknown handle.
  const RegionShape* shape(Handle rgn) const;
  std::size_t size() const { return regions_.size(); }

 private:
  Handle add(RegionShape shape);

  std::map<Handle, QRegion> regions_;
  std::map<Handle, RegionShape> shapes_;
  Handle next_handle_;
};

}  // namespace wavorin
