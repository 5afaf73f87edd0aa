#pragma once

#include <sndfile.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/sound_problem.h"

namespace wavorin {

// Which file a path named, and in which state: a file replaced, rewritten or
// touched since differs in one of these.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  // Seconds and nanoseconds apart: nanoseconds alone pass 64 bits after the year 2262.
  std::int64_t modified_s = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_s = 0;
  std::int64_t changed_ns = 0;

  bool operator==(const FileIdentity&) const = default;
  // Of whatever `path` names now; nothing (with the reason) if stat fails.
  static std::optional<FileIdentity> of(const std::string& path, std::string& error);
  static FileIdentity from(const struct stat& status);
};

// One readable sound file: owns the SNDFILE* and the descriptor or memory
// image under it. Only the header is read on opening; samples are read in
// blocks afterwards, so opening costs the same for any length of file.
class SoundFile {
 public:
  // `path` is in the locale's encoding and goes to the system unchanged. Only
  // regular files are opened (a FIFO or a device node would block or never
  // end). On failure returns nothing and sets `error` to the reason.
  static std::optional<SoundFile> open_path(const std::string& path, std::string& error);
  // Why `path` could not be opened or played, judged afresh.
  static FileFault fault_of(const std::string& path);
  // Reads a file image held in memory; `image` must outlive the SoundFile.
  static std::optional<SoundFile> open_memory(std::span<const std::byte> image, std::string& error);

  SoundFile(SoundFile&& other) noexcept;
  SoundFile& operator=(SoundFile&& other) noexcept;
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;
  ~SoundFile();

  int channels() const { return info_.channels; }
  int sample_rate() const { return info_.samplerate; }
  // Frames the header announces, clipped by libsndfile to the data present.
  sf_count_t frames() const { return info_.frames; }
  // Of the opened file; all zero for a memory image.
  const FileIdentity& identity() const { return identity_; }
  // SF_FORMAT_PCM_16, SF_FORMAT_FLOAT, ...
  int subtype() const { return info_.format & SF_FORMAT_SUBMASK; }
  // One SF_CHANNEL_MAP_* per channel; empty when the file names no layout.
  std::vector<int> channel_map() const;

  // Interleaved frames; both return the frames read, 0 at the end or on error.
  sf_count_t read(std::int16_t* frames, sf_count_t count);
  sf_count_t read(float* frames, sf_count_t count);

 private:
  struct MemoryImage {
    std::span<const std::byte> bytes;
    sf_count_t position = 0;
    // libsndfile wants a mutable table; each image carries its own copy.
    SF_VIRTUAL_IO io;
  };
  static const SF_VIRTUAL_IO kMemoryIo;

  SoundFile(SNDFILE* file, const SF_INFO& info, int descriptor,
            std::unique_ptr<MemoryImage> memory);
  // Rejects what opened but cannot sensibly be played; closes it then.
  static std::optional<SoundFile> checked(SoundFile file, std::string& error);
  void close() noexcept;

  SNDFILE* file_ = nullptr;
  SF_INFO info_{};
  int descriptor_ = -1;
  std::unique_ptr<MemoryImage> memory_;
  FileIdentity identity_;
};

}  // namespace wavorin
