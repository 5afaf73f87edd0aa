#include "platform/qt/blit_log.h"

#include <algorithm>

namespace wavorin {

namespace {

// Whether `inner`'s block lies within `outer`'s, worked in 64 bits because
// the program may pass any int.
bool covers(const BlitRecord& outer, const BlitRecord& inner) {
  const auto end = [](int start, int extent) { return static_cast<long long>(start) + extent; };
  return inner.x >= outer.x && inner.y >= outer.y &&
         end(inner.x, inner.width) <= end(outer.x, outer.width) &&
         end(inner.y, inner.height) <= end(outer.y, outer.height);
}

}  // namespace

void BlitLog::add(const BlitRecord& record) {
  const auto reads_dest = [&record](const BlitRecord& r) { return r.src == record.dest; };
  if (record.src != record.dest && std::none_of(records_.begin(), records_.end(), reads_dest)) {
    std::erase_if(records_, [&record](const BlitRecord& r) {
      return r.dest == record.dest && covers(record, r);
    });
  }
  records_.push_back(record);
}

}  // namespace wavorin
