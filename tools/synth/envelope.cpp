#include "tools/synth/envelope.h"

#include <algorithm>
#include <cmath>

namespace wavorin::synth {

namespace {

double held_level(const Adsr& env, double t) {
  if (t < env.attack) {
    return smooth_step(0.0, env.attack, t);
  }
  return env.sustain + (1.0 - env.sustain) * std::exp(-(t - env.attack) / env.decay);
}

}  // namespace

double smooth_step(double edge0, double edge1, double x) {
  const double u = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return u * u * (3.0 - 2.0 * u);
}

double Adsr::level(double t, double held) const {
  if (t < 0.0 || t >= held + release) {
    return 0.0;
  }
  if (t < held) {
    return held_level(*this, t);
  }
  return held_level(*this, held) * (1.0 - smooth_step(held, held + release, t));
}

}  // namespace wavorin::synth
