#include "platform/sound/facts/wave_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace wavorin {
namespace {

// Format tags of the "fmt " chunk.
constexpr std::uint16_t kPcm = 0x0001;
constexpr std::uint16_t kMsAdpcm = 0x0002;
constexpr std::uint16_t kFloat = 0x0003;
constexpr std::uint16_t kAlaw = 0x0006;
constexpr std::uint16_t kUlaw = 0x0007;
constexpr std::uint16_t kImaAdpcm = 0x0011;
constexpr std::uint16_t kGsm610 = 0x0031;
constexpr std::uint16_t kExtensible = 0xFFFE;
// GSM 6.10 packs 320 samples in a 65-byte block.
constexpr std::int64_t kGsmFrames = 320;

// The header: chunks before "data" are small; more than this is not a wave
// file the program plays.
constexpr std::size_t kHeaderLimit = std::size_t{64} * 1024;

std::uint32_t u32(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8U |
         static_cast<std::uint32_t>(at[2]) << 16U | static_cast<std::uint32_t>(at[3]) << 24U;
}
std::uint16_t u16(const unsigned char* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8U);
}
std::uint64_t u64(const unsigned char* at) {
  return static_cast<std::uint64_t>(u32(at)) | static_cast<std::uint64_t>(u32(at + 4)) << 32U;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::int64_t WaveFacts::length_us() const {
  return rate_ <= 0 ? 0 : static_cast<std::int64_t>(static_cast<double>(frames_) * 1e6 / rate_);
}

std::optional<WaveFacts> WaveFacts::read(const std::string& path) {
  // Non-blocking: a FIFO named like a wave file must not hold the window.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  std::array<unsigned char, kHeaderLimit> header{};
  const ssize_t got = ::pread(file.get(), header.data(), header.size(), 0);
  if (got < 12) return std::nullopt;
  const auto size = static_cast<std::size_t>(got);
  const bool rf64 = std::memcmp(header.data(), "RF64", 4) == 0;
  if ((!rf64 && std::memcmp(header.data(), "RIFF", 4) != 0) ||
      std::memcmp(header.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  std::uint16_t tag = 0;
  std::uint16_t block_align = 0;
  std::uint16_t block_frames = 0;
  std::optional<std::int64_t> fact;
  std::uint64_t long_data = 0;  // RF64's "ds64"
  WaveFacts facts;
  for (std::size_t at = 12; at + 8 <= size;) {
    const unsigned char* chunk = header.data() + at;
    const std::uint64_t length = u32(chunk + 4);
    const unsigned char* body = chunk + 8;
    const std::size_t body_size = std::min<std::size_t>(length, size - at - 8);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && body_size >= 16) {
      tag = u16(body);
      facts.channels_ = u16(body + 2);
      facts.rate_ = static_cast<int>(u32(body + 4));
      block_align = u16(body + 12);
      if (tag == kExtensible && body_size >= 26) tag = u16(body + 24);
      if ((tag == kImaAdpcm || tag == kMsAdpcm) && body_size >= 20) block_frames = u16(body + 18);
    } else if (std::memcmp(chunk, "fact", 4) == 0 && body_size >= 4) {
      fact = u32(body);
    } else if (std::memcmp(chunk, "ds64", 4) == 0 && body_size >= 16) {
      long_data = u64(body + 8);
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (facts.rate_ <= 0 || facts.channels_ <= 0 || block_align == 0) return std::nullopt;
      // The data present, whatever the header announces.
      const std::uint64_t announced = rf64 && length == 0xFFFFFFFFU ? long_data : length;
      const auto present = static_cast<std::uint64_t>(status.st_size) - (at + 8);
      const auto blocks = static_cast<std::int64_t>(std::min(announced, present) / block_align);
      switch (tag) {
        case kPcm:
        case kFloat:
        case kAlaw:
        case kUlaw:
          facts.frames_ = blocks;
          break;
        case kImaAdpcm:
        case kMsAdpcm:
          facts.frames_ = blocks * block_frames;
          break;
        case kGsm610:
          facts.frames_ = blocks * kGsmFrames;
          break;
        default:
          // Counted as the decoder counts them: whole blocks, as above.
          if (!fact) return std::nullopt;
          facts.frames_ = *fact;
          break;
      }
      return facts;
    }
    at += 8 + length + (length & 1U);
  }
  return std::nullopt;
}

}  // namespace wavorin
