#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace wavorin {

// The program's state, shared by the handlers of Form1 for the whole run.
struct Module1 {
  std::string wav_file;        // full path of the current sound file
  std::string wav_path;        // folder in which the open-file dialog starts
  std::int32_t win_x = 0;      // window left edge read from the settings, twips
  std::int32_t win_y = 0;      // window top edge read from the settings, twips
  Handle win_rgn = 0;          // the window's outline, kept until Close
  std::int16_t ani_frame = 0;  // next animation frame, 0..7
};

}  // namespace wavorin
