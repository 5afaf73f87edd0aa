#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

namespace wavorin {

// Lock-free ring of bytes between one producer thread (the feeder) and one
// consumer thread (the audio callback). Neither side ever waits or allocates.
class SampleRing {
 public:
  explicit SampleRing(std::size_t capacity);

  // Producer: copies as much of `data` as fits; returns the bytes taken.
  std::size_t write(const std::byte* data, std::size_t size) noexcept;
  // Consumer: copies up to `size` bytes out; returns the bytes given.
  std::size_t read(std::byte* out, std::size_t size) noexcept;

  std::size_t readable() const noexcept;
  std::size_t writable() const noexcept;

 private:
  std::size_t capacity_;
  std::unique_ptr<std::byte[]> bytes_;
  // Running totals; the difference is the fill. Separate cache lines keep
  // the two threads from contending.
  alignas(64) std::atomic<std::size_t> written_{0};
  alignas(64) std::atomic<std::size_t> taken_{0};
};

}  // namespace wavorin
