#pragma once

#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

// sample1.wav: the score played by sax, piano, upright bass and brushed
// drums in a small room, about ten seconds, fading out, peak -1 dBFS.
StereoBuffer make_sample1();

}  // namespace wavorin::synth
