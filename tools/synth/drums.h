#pragma once

#include <vector>

#include "tools/synth/random_source.h"

namespace wavorin::synth {

// The drum kit of the tune. Each returns one complete hit as mono samples of
// roughly unit peak at `velocity` 1, ending exactly at zero.

// Bass drum: a falling sine with a soft beater click.
std::vector<double> kick(double velocity, RandomSource& noise);

// Snare played with brushes: a band of noise with a swishing tail, and a
// little of the drum's body.
std::vector<double> brush_snare(double velocity, RandomSource& noise);

// Hi-hat: high noise, short when closed, ringing when open.
std::vector<double> hi_hat(double velocity, bool open, RandomSource& noise);

}  // namespace wavorin::synth
