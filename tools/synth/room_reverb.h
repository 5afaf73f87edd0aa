#pragma once

#include "tools/synth/stereo_buffer.h"

namespace wavorin::synth {

// A small room: parallel damped comb filters into series all-passes (the
// classic Schroeder/Moorer layout), the right channel's delays a little longer
// than the left's so the two decorrelate and the room sounds wide.
class RoomReverb {
 public:
  // `size` in 0..1 lengthens the tail; `damping` in 0..1 dulls it faster.
  struct Shape {
    double size;
    double damping;
  };

  explicit RoomReverb(Shape shape);

  // The reverberation of `dry` alone, without the dry sound, as long as `dry`.
  StereoBuffer process(const StereoBuffer& dry) const;

 private:
  double feedback_;
  double damping_;
};

}  // namespace wavorin::synth
