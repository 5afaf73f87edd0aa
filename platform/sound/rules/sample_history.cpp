#include "platform/sound/rules/sample_history.h"

#include <algorithm>
#include <cstring>

namespace wavorin {

void SampleHistory::remember(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::byte*>(data);
  if (size > kept_.size()) {
    bytes += size - kept_.size();
    written_ += size - kept_.size();
    size = kept_.size();
  }
  const std::size_t at = written_ % kept_.size();
  const std::size_t first = std::min(size, kept_.size() - at);
  std::memcpy(kept_.data() + at, bytes, first);
  std::memcpy(kept_.data(), bytes + first, size - first);
  written_ += size;
}

bool SampleHistory::copy_back(std::size_t behind, void* out, std::size_t size) const {
  if (behind > kept_.size() || behind > written_ || size > behind) return false;
  auto* to = static_cast<std::byte*>(out);
  const std::size_t from = (written_ - behind) % kept_.size();
  const std::size_t first = std::min(size, kept_.size() - from);
  std::memcpy(to, kept_.data() + from, first);
  std::memcpy(to + first, kept_.data(), size - first);
  return true;
}

}  // namespace wavorin
