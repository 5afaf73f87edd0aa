#include "platform/qt/drawing/blit_log.h"

#include <algorithm>

namespace wavorin {

void BlitLog::add(const BlitRecord& record) {
  const auto reads_dest = [&record](const BlitRecord& r) { return r.src == record.dest; };
  if (record.src != record.dest && std::none_of(records_.begin(), records_.end(), reads_dest)) {
    std::erase_if(records_, [&record](const BlitRecord& r) {
      return r.dest == record.dest && (r.written.isEmpty() || record.written.contains(r.written));
    });
  }
  records_.push_back(record);
}

}  // namespace wavorin
