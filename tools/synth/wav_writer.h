#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

// Interleaved 16-bit frames: each sample rounded to the nearest step of
// 1/32767 and held inside the 16-bit range.
std::vector<std::int16_t> to_pcm16(const StereoBuffer& sound);

// Writes `sound` as a 16-bit PCM stereo WAV file at `sample_rate`.
// Returns an empty string, or libsndfile's reason for failing.
std::string write_wav_pcm16(const std::filesystem::path& path, const StereoBuffer& sound);

}  // namespace wavorin::synth
