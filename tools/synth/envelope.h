#pragma once

namespace wavorin::synth {

// An attack-decay-sustain-release envelope. Times are in seconds; `decay` is
// the time constant of the fall from the attack peak towards `sustain` (0..1).
// Each stage joins the next without a step, so notes start and stop silently.
struct Adsr {
  double attack;
  double decay;
  double sustain;
  double release;

  // Level `t` seconds after the note starts, the key being held for `held` seconds.
  double level(double t, double held) const;

  // Seconds from the start of the note until it is silent.
  double length(double held) const { return held + release; }
};

// 0 below `edge0`, 1 above `edge1`, a smooth S-curve between.
double smooth_step(double edge0, double edge1, double x);

}  // namespace wavorin::synth
