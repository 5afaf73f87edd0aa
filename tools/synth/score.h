#pragma once

#include <span>
#include <vector>

namespace wavorin::synth {

// The tune of sample1.wav: seven bars of a swung doo-wop progression in
// C major (C | Am | F | G7 | C | F G7 | C) at 176 beats a minute. Times and
// lengths are in beats from the start of the first bar; a swung off-beat
// falls two thirds of the way through its beat.
struct Note {
  double beat;
  double length;
  int midi;
  double velocity;
};

struct Chord {
  double beat;
  double length;
  std::vector<int> midi;
  double velocity;
};

enum class Drum { kick, brush, closed_hat, open_hat };

struct DrumHit {
  double beat;
  Drum drum;
  double velocity;
};

constexpr double tempo_bpm = 176.0;
constexpr int bars = 7;

std::span<const Note> melody();
std::span<const Note> bass_line();
std::vector<Chord> comping();
std::vector<DrumHit> drum_part();

}  // namespace wavorin::synth
