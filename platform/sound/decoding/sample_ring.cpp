#include "platform/sound/decoding/sample_ring.h"

#include <algorithm>
#include <cstring>

namespace wavorin {

SampleRing::SampleRing(std::size_t capacity)
    : capacity_(capacity), bytes_(std::make_unique<std::byte[]>(capacity)) {}

std::size_t SampleRing::write(const std::byte* data, std::size_t size) noexcept {
  const std::size_t written = written_.load(std::memory_order_relaxed);
  const std::size_t taken = taken_.load(std::memory_order_acquire);
  const std::size_t n = std::min(size, capacity_ - (written - taken));
  const std::size_t start = written % capacity_;
  const std::size_t first = std::min(n, capacity_ - start);
  std::memcpy(bytes_.get() + start, data, first);
  std::memcpy(bytes_.get(), data + first, n - first);
  written_.store(written + n, std::memory_order_release);
  return n;
}

std::size_t SampleRing::read(std::byte* out, std::size_t size) noexcept {
  const std::size_t taken = taken_.load(std::memory_order_relaxed);
  const std::size_t written = written_.load(std::memory_order_acquire);
  const std::size_t n = std::min(size, written - taken);
  const std::size_t start = taken % capacity_;
  const std::size_t first = std::min(n, capacity_ - start);
  std::memcpy(out, bytes_.get() + start, first);
  std::memcpy(out + first, bytes_.get(), n - first);
  taken_.store(taken + n, std::memory_order_release);
  return n;
}

std::size_t SampleRing::readable() const noexcept {
  return written_.load(std::memory_order_acquire) - taken_.load(std::memory_order_acquire);
}

std::size_t SampleRing::writable() const noexcept { return capacity_ - readable(); }

}  // namespace wavorin
