// wavorin_synth: writes the program's three sounds into the folder given as
// its only argument. The output depends on nothing but this source, so the
// committed files can be checked by making them again.

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "tools/synth/click_sound.h"
#include "tools/synth/stereo_buffer.h"
#include "tools/synth/tune.h"
#include "tools/synth/wav_writer.h"

namespace {

// The sound used to probe the sound service: one silent frame, the shortest
// file that still plays, because every probe waits for it to finish.
wavorin::synth::StereoBuffer make_dummy() { return wavorin::synth::StereoBuffer(1); }

bool write(const std::filesystem::path& path, const wavorin::synth::StereoBuffer& sound) {
  const std::string error = wavorin::synth::write_wav_pcm16(path, sound);
  if (!error.empty()) {
    std::cerr << "wavorin_synth: " << error << '\n';
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: wavorin_synth <output folder>\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::cerr << "wavorin_synth: " << folder.string() << ": " << error.message() << '\n';
    return 1;
  }
  const bool ok = write(folder / "click.wav", wavorin::synth::make_click()) &&
                  write(folder / "dummy.wav", make_dummy()) &&
                  write(folder / "sample1.wav", wavorin::synth::make_sample1());
  return ok ? 0 : 1;
}
