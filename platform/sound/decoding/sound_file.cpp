#include "platform/sound/decoding/sound_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

namespace wavorin {
namespace {

// Beyond any real recording; past them the converter's buffers would grow
// without reasonable bound.
constexpr int kMaxChannels = 1024;
constexpr int kMaxRate = 768000;

std::string system_reason(int error_number) { return std::strerror(error_number); }

}  // namespace

const SF_VIRTUAL_IO SoundFile::kMemoryIo = {
    .get_filelen = [](void* user) -> sf_count_t {
      return static_cast<sf_count_t>(static_cast<MemoryImage*>(user)->bytes.size());
    },
    .seek = [](sf_count_t offset, int whence, void* user) -> sf_count_t {
      auto* image = static_cast<MemoryImage*>(user);
      const auto size = static_cast<sf_count_t>(image->bytes.size());
      sf_count_t base = 0;
      if (whence == SEEK_CUR) base = image->position;
      if (whence == SEEK_END) base = size;
      if (offset > std::numeric_limits<sf_count_t>::max() - base) return -1;
      const sf_count_t target = base + offset;
      if (target < 0) return -1;
      image->position = target;
      return target;
    },
    .read = [](void* out, sf_count_t count, void* user) -> sf_count_t {
      auto* image = static_cast<MemoryImage*>(user);
      const auto size = static_cast<sf_count_t>(image->bytes.size());
      if (count <= 0 || image->position >= size) return 0;
      const sf_count_t n = std::min(count, size - image->position);
      std::memcpy(out, image->bytes.data() + image->position, static_cast<std::size_t>(n));
      image->position += n;
      return n;
    },
    .write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; },
    .tell = [](void* user) -> sf_count_t { return static_cast<MemoryImage*>(user)->position; },
};

FileIdentity FileIdentity::from(const struct stat& status) {
  return FileIdentity{status.st_dev,         status.st_ino,          status.st_size,
                      status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_ctim.tv_sec,
                      status.st_ctim.tv_nsec};
}

std::optional<FileIdentity> FileIdentity::of(const std::string& path, std::string& error) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    error = system_reason(errno);
    return std::nullopt;
  }
  return from(status);
}

FileFault SoundFile::fault_of(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? FileFault::Missing : FileFault::Unreadable;
  }
  if (!S_ISREG(status.st_mode) || ::access(path.c_str(), R_OK) != 0) return FileFault::Unreadable;
  return FileFault::NotAWaveFile;
}

std::optional<SoundFile> SoundFile::open_path(const std::string& path, std::string& error) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    error = system_reason(errno);
    return std::nullopt;
  }
  if (!S_ISREG(status.st_mode)) {
    error = S_ISDIR(status.st_mode) ? "is a folder" : "is not a regular file";
    return std::nullopt;
  }
  // O_NONBLOCK: should the name have become a FIFO since stat, open must not
  // wait for a writer; fstat below then refuses it.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    error = system_reason(errno);
    return std::nullopt;
  }
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(descriptor);
    error = "is not a regular file";
    return std::nullopt;
  }
  SF_INFO info{};
  SNDFILE* file = sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE);
  if (file == nullptr) {
    error = sf_strerror(nullptr);
    ::close(descriptor);
    return std::nullopt;
  }
  SoundFile opened(file, info, descriptor, nullptr);
  opened.identity_ = FileIdentity::from(status);
  return checked(std::move(opened), error);
}

std::optional<SoundFile> SoundFile::open_memory(std::span<const std::byte> image,
                                                std::string& error) {
  auto memory = std::make_unique<MemoryImage>(MemoryImage{image, 0, kMemoryIo});
  SF_INFO info{};
  SNDFILE* file = sf_open_virtual(&memory->io, SFM_READ, &info, memory.get());
  if (file == nullptr) {
    error = sf_strerror(nullptr);
    return std::nullopt;
  }
  return checked(SoundFile(file, info, -1, std::move(memory)), error);
}

std::optional<SoundFile> SoundFile::checked(SoundFile file, std::string& error) {
  if (file.channels() < 1 || file.channels() > kMaxChannels) {
    error = "unsupported number of channels: " + std::to_string(file.channels());
    return std::nullopt;
  }
  if (file.sample_rate() < 1 || file.sample_rate() > kMaxRate) {
    error = "unsupported sample rate: " + std::to_string(file.sample_rate()) + " Hz";
    return std::nullopt;
  }
  if (file.frames() <= 0) {
    error = "holds no sound";
    return std::nullopt;
  }
  return file;
}

SoundFile::SoundFile(SNDFILE* file, const SF_INFO& info, int descriptor,
                     std::unique_ptr<MemoryImage> memory)
    : file_(file), info_(info), descriptor_(descriptor), memory_(std::move(memory)) {}

SoundFile::SoundFile(SoundFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      info_(other.info_),
      descriptor_(std::exchange(other.descriptor_, -1)),
      memory_(std::move(other.memory_)),
      identity_(other.identity_) {}

SoundFile& SoundFile::operator=(SoundFile&& other) noexcept {
  if (this != &other) {
    close();
    file_ = std::exchange(other.file_, nullptr);
    info_ = other.info_;
    descriptor_ = std::exchange(other.descriptor_, -1);
    memory_ = std::move(other.memory_);
    identity_ = other.identity_;
  }
  return *this;
}

SoundFile::~SoundFile() { close(); }

void SoundFile::close() noexcept {
  if (file_ != nullptr) sf_close(std::exchange(file_, nullptr));
  if (descriptor_ >= 0) ::close(std::exchange(descriptor_, -1));
  memory_.reset();
}

std::vector<int> SoundFile::channel_map() const {
  std::vector<int> map(static_cast<std::size_t>(info_.channels));
  const auto bytes = static_cast<int>(map.size() * sizeof(int));
  if (sf_command(file_, SFC_GET_CHANNEL_MAP_INFO, map.data(), bytes) != SF_TRUE) map.clear();
  return map;
}

sf_count_t SoundFile::read(std::int16_t* frames, sf_count_t count) {
  return std::max<sf_count_t>(0, sf_readf_short(file_, frames, count));
}

sf_count_t SoundFile::read(float* frames, sf_count_t count) {
  return std::max<sf_count_t>(0, sf_readf_float(file_, frames, count));
}

}  // namespace wavorin
