#pragma once

#include <cstddef>
#include <cstdint>

namespace wavorin::test {

// Output the fuzzing entry stops at: two seconds of 16-bit stereo at
// 44.1 kHz, so a header announcing hours of sound cannot stall a run.
constexpr std::size_t kDecodeLimit = std::size_t{2} * 44100 * 4;
// Bytes asked of the decoder at a time; the last call may pass the limit by this.
constexpr std::size_t kBlockBytes = std::size_t{4096} * 4;

// Opens a file image held in memory and decodes it to the device format the
// player asks for, through the player's own SoundFile and SoundDecoder.
// Returns the device bytes produced, 0 when the image was refused.
std::size_t decode_image(const std::uint8_t* data, std::size_t size);

}  // namespace wavorin::test
