#pragma once

#include <cstddef>
#include <list>
#include <optional>
#include <string>

#include "platform/sound/decoding/device_format.h"
#include "platform/sound/decoding/playback.h"
#include "platform/sound/decoding/sound_file.h"

namespace wavorin {

// Short sounds (the key click, the probe) decoded once for the device and
// kept, so a press neither reopens nor parses its file. An entry counts only
// while its file is the same file in the same state and the device takes the
// same format; otherwise the file is read again.
class SoundCache {
 public:
  // Sounds longer than this, in device bytes, are streamed, never kept.
  static constexpr std::size_t kMaxBytes = std::size_t{256} * 1024;

  DecodedSound find(const std::string& path, const FileIdentity& identity,
                    const DeviceFormat& format) const;
  // The same, for whichever device format it was kept.
  DecodedSound find(const std::string& path, const FileIdentity& identity) const;
  // Decodes all of a short `file` and keeps it; nothing if it is too long.
  // Unchanged `decoder` is left for streaming then.
  DecodedSound decode_and_keep(const std::string& path, const FileIdentity& identity,
                               const DeviceFormat& format, SoundDecoder& decoder, double seconds);

 private:
  struct Entry {
    std::string path;
    FileIdentity identity;
    DeviceFormat format;
    DecodedSound samples;
  };
  // The click, the probe and a couple of the user's own short sounds.
  static constexpr std::size_t kEntries = 4;

  std::list<Entry> entries_;  // most recently kept first
};

}  // namespace wavorin
