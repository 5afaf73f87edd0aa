#pragma once

#include <QRect>
#include <vector>

#include "platform/handles.h"

namespace wavorin {

// One block copy as the program asked for it, in window pixels, and what it
// wrote at the current ratio.
struct BlitRecord {
  Handle dest;
  int x;
  int y;
  int width;
  int height;
  Handle src;
  int src_x;
  int src_y;
  QRect written;  // device pixels of `dest` it wrote, after clipping
};

// The block copies that made the drawing surfaces what they are, so they can
// be copied again from pictures of another resolution. A copy whose pixels a
// later one into the same surface wholly overwrote is forgotten, unless some
// copy reads from that surface; the animation's log so stays one record long.
class BlitLog {
 public:
  void add(const BlitRecord& record);
  // Copied again in order, each record's `written` is brought up to date.
  std::vector<BlitRecord>& records() { return records_; }

 private:
  std::vector<BlitRecord> records_;
};

}  // namespace wavorin
