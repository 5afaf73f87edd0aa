#pragma once

#include <vector>

#include "platform/handles.h"

namespace wavorin {

// One block copy as the program asked for it, in window pixels.
struct BlitRecord {
  Handle dest;
  int x;
  int y;
  int width;
  int height;
  Handle src;
  int src_x;
  int src_y;
};

// The block copies that made the drawing surfaces what they are, so they can
// be copied again from pictures of another resolution. A copy wholly drawn
// over by a later one into the same surface is forgotten, unless some copy
// reads from that surface; the animation's log so stays one record long.
class BlitLog {
 public:
  void add(const BlitRecord& record);
  const std::vector<BlitRecord>& records() const { return records_; }

 private:
  std::vector<BlitRecord> records_;
};

}  // namespace wavorin
