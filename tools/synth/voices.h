#pragma once

#include <span>
#include <vector>

#include "tools/synth/random_source.h"

namespace wavorin::synth {

// The pitched voices of the tune. Each returns the whole note, release tail
// included, as mono samples of roughly unit peak at velocity 1.

struct Pitch {
  double frequency_hz;
  double held_s;    // how long the key is down
  double velocity;  // 0..1
};

// A breathy tenor-saxophone-like lead: a scoop into the pitch, brightness
// that follows the breath, and vibrato that sets in on long notes.
std::vector<double> sax_note(const Pitch& note, RandomSource& noise);

// A struck piano-like chord: slightly stretched partials, highs dying first.
// `held` in seconds, `velocity` 0..1.
std::vector<double> piano_chord(std::span<const double> frequencies_hz, double held,
                                double velocity);

// A plucked upright bass.
std::vector<double> bass_note(const Pitch& note);

// Equal temperament, A4 (MIDI note 69) at 440 Hz.
double midi_to_hz(int note);

}  // namespace wavorin::synth
