#pragma once

#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

// The jukebox selector key: about 42 ms, peak -6 dBFS, zero mean, loud from
// its first sample and silent for its last millisecond.
StereoBuffer make_click();

}  // namespace wavorin::synth
