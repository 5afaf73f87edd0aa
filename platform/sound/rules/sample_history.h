#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wavorin {

// The last bytes written to a stream, kept so that a cut can fade from
// where the listener is rather than from where the writing is.
class SampleHistory {
 public:
  explicit SampleHistory(std::size_t bytes) : kept_(bytes) {}

  void remember(const void* data, std::size_t size);
  // Copies `size` bytes from those written `behind` bytes before the last;
  // false when they are no longer kept.
  bool copy_back(std::size_t behind, void* out, std::size_t size) const;
  // Takes back the last `size` bytes remembered: a flush dropped them.
  void forget(std::size_t size) { written_ -= size < written_ ? size : written_; }

 private:
  std::vector<std::byte> kept_;
  std::uint64_t written_ = 0;  // bytes ever remembered
};

}  // namespace wavorin
