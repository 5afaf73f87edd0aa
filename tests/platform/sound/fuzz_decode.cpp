#include "tests/platform/sound/fuzz_decode.h"

#include <span>
#include <string>
#include <vector>

#include "platform/sound/decoding/sound_decoder.h"
#include "platform/sound/decoding/sound_file.h"

namespace wavorin::test {

std::size_t decode_image(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const auto image = std::as_bytes(std::span(data, size));
  std::optional<SoundFile> file = SoundFile::open_memory(image, error);
  if (!file) return 0;
  std::optional<SoundDecoder> decoder =
      SoundDecoder::create(std::move(*file), DeviceFormat{}, error);
  if (!decoder) return 0;
  std::vector<std::byte> block(kBlockBytes);
  std::size_t total = 0;
  while (total < kDecodeLimit) {
    const std::size_t n = decoder->read(block.data(), block.size());
    if (n == 0) break;
    total += n;
  }
  return total;
}

}  // namespace wavorin::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  wavorin::test::decode_image(data, size);
  return 0;
}
