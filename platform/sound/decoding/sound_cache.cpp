#include "platform/sound/decoding/sound_cache.h"

#include <cmath>
#include <utility>
#include <vector>

namespace wavorin {
namespace {

bool same_format(const DeviceFormat& a, const DeviceFormat& b) {
  return a.format == b.format && a.rate == b.rate && a.channels == b.channels;
}

}  // namespace

DecodedSound SoundCache::find(const std::string& path, const FileIdentity& identity,
                              const DeviceFormat& format) const {
  for (const Entry& entry : entries_) {
    if (entry.path == path && entry.identity == identity && same_format(entry.format, format)) {
      return entry.samples;
    }
  }
  return nullptr;
}

DecodedSound SoundCache::find(const std::string& path, const FileIdentity& identity) const {
  for (const Entry& entry : entries_) {
    if (entry.path == path && entry.identity == identity) return entry.samples;
  }
  return nullptr;
}

DecodedSound SoundCache::decode_and_keep(const std::string& path, const FileIdentity& identity,
                                         const DeviceFormat& format, SoundDecoder& decoder,
                                         double seconds) {
  // The header's length, with a buffer's slack for a resampler's tail.
  const double bytes = std::ceil((seconds * format.rate + format.buffer_frames) *
                                 static_cast<double>(format.frame_bytes()));
  if (bytes > static_cast<double>(kMaxBytes)) return nullptr;
  auto samples = std::make_shared<std::vector<std::byte>>(static_cast<std::size_t>(bytes));
  std::size_t size = 0;
  // libsndfile clips the header's length to the data present, so this
  // only guards against a decoder that rings on far past it.
  while (size < 4 * kMaxBytes) {
    if (size == samples->size()) samples->resize(size * 2);
    const std::size_t got = decoder.read(samples->data() + size, samples->size() - size);
    if (got == 0) break;
    size += got;
  }
  samples->resize(size);
  samples->shrink_to_fit();
  DecodedSound kept = std::move(samples);
  std::erase_if(entries_, [&](const Entry& entry) { return entry.path == path; });
  entries_.push_front(Entry{path, identity, format, kept});
  if (entries_.size() > kEntries) entries_.pop_back();
  return kept;
}

}  // namespace wavorin
