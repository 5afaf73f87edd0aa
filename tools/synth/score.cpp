#include "tools/synth/score.h"

#include <array>

namespace wavorin::synth {

namespace {

constexpr double swung = 2.0 / 3.0;   // the off-beat
constexpr double pickup = 1.0 / 3.0;  // from the off-beat to the next beat

// An original melody: a rising call in bar 1, answers over Am and F, a turn on
// the G7's seventh, the call again reaching up to A in bar 5, then home.
constexpr std::array melody_notes = {
    // C
    Note{0.0, swung, 67, 0.8},
    Note{swung, pickup, 69, 0.7},
    Note{1.0, 1.0, 72, 0.9},
    Note{2.0, 1.0 + swung, 76, 1.0},
    Note{3.0 + swung, pickup, 74, 0.75},
    // Am
    Note{4.0, 1.0, 72, 0.9},
    Note{5.0, 1.0, 69, 0.8},
    Note{6.0, 1.5, 76, 0.95},
    // F
    Note{8.0, swung, 77, 0.95},
    Note{8.0 + swung, pickup, 76, 0.75},
    Note{9.0, swung, 74, 0.85},
    Note{9.0 + swung, pickup, 72, 0.75},
    Note{10.0, 1.5, 69, 0.9},
    Note{11.0 + swung, pickup, 72, 0.75},
    // G7
    Note{12.0, 1.0, 74, 0.9},
    Note{13.0, swung, 71, 0.8},
    Note{13.0 + swung, pickup, 67, 0.7},
    Note{14.0, 1.0, 74, 0.9},
    Note{15.0, 1.0, 77, 0.95},
    // C
    Note{16.0, 1.0 + swung, 76, 1.0},
    Note{17.0 + swung, pickup, 79, 0.8},
    Note{18.0, swung, 81, 1.0},
    Note{18.0 + swung, pickup, 79, 0.8},
    Note{19.0, 1.0, 76, 0.9},
    // F, G7
    Note{20.0, swung, 77, 0.95},
    Note{20.0 + swung, pickup, 81, 0.8},
    Note{21.0, 1.0, 77, 0.9},
    Note{22.0, swung, 74, 0.9},
    Note{22.0 + swung, pickup, 76, 0.75},
    Note{23.0, swung, 77, 0.9},
    Note{23.0 + swung, pickup, 74, 0.8},
    // C, held to the end
    Note{24.0, 3.5, 72, 0.95},
};

// A walking boogie line in quarter notes: root, third, fifth, sixth and back.
constexpr std::array bass_notes = {
    Note{0.0, 0.85, 36, 1.0},  Note{1.0, 0.85, 40, 0.8},  Note{2.0, 0.85, 43, 0.9},
    Note{3.0, 0.85, 45, 0.8},  Note{4.0, 0.85, 45, 1.0},  Note{5.0, 0.85, 48, 0.8},
    Note{6.0, 0.85, 52, 0.9},  Note{7.0, 0.85, 48, 0.8},  Note{8.0, 0.85, 41, 1.0},
    Note{9.0, 0.85, 45, 0.8},  Note{10.0, 0.85, 48, 0.9}, Note{11.0, 0.85, 50, 0.8},
    Note{12.0, 0.85, 43, 1.0}, Note{13.0, 0.85, 47, 0.8}, Note{14.0, 0.85, 50, 0.9},
    Note{15.0, 0.85, 47, 0.8}, Note{16.0, 0.85, 48, 1.0}, Note{17.0, 0.85, 45, 0.8},
    Note{18.0, 0.85, 43, 0.9}, Note{19.0, 0.85, 40, 0.8}, Note{20.0, 0.85, 41, 1.0},
    Note{21.0, 0.85, 45, 0.8}, Note{22.0, 0.85, 43, 0.9}, Note{23.0, 0.85, 47, 0.8},
    Note{24.0, 3.0, 36, 1.0},
};

// Close voicings below the melody, around middle C.
const std::vector<int> c_six = {52, 55, 57, 60};
const std::vector<int> a_minor = {52, 57, 60, 64};
const std::vector<int> f_six = {53, 57, 60, 62};
const std::vector<int> g_seven = {53, 55, 59, 62};
const std::vector<int> c_six_nine = {52, 55, 57, 62, 64};

}  // namespace

std::span<const Note> melody() { return melody_notes; }

std::span<const Note> bass_line() { return bass_notes; }

std::vector<Chord> comping() {
  // Each half bar's harmony, played as a shuffle: a light chord on the swung
  // off-beat, a firm one on the back beat.
  const std::array<const std::vector<int>*, 12> halves = {&c_six, &c_six, &a_minor, &a_minor,
                                                          &f_six, &f_six, &g_seven, &g_seven,
                                                          &c_six, &c_six, &f_six,   &g_seven};
  std::vector<Chord> chords;
  for (std::size_t half = 0; half < halves.size(); ++half) {
    const double start = 2.0 * static_cast<double>(half);
    chords.push_back({start + swung, pickup, *halves[half], 0.55});
    chords.push_back({start + 1.0, 0.5, *halves[half], 0.9});
    chords.push_back({start + 1.0 + swung, pickup, *halves[half], 0.5});
  }
  chords.push_back({24.0, 3.5, c_six_nine, 0.85});
  return chords;
}

std::vector<DrumHit> drum_part() {
  std::vector<DrumHit> hits;
  for (int bar = 0; bar < bars - 1; ++bar) {
    const double b = 4.0 * bar;
    hits.push_back({b, Drum::kick, 1.0});
    hits.push_back({b + 2.0, Drum::kick, 0.75});
    hits.push_back({b + 1.0, Drum::brush, 1.0});
    hits.push_back({b + 3.0, Drum::brush, 1.0});
    hits.push_back({b + 2.0 + swung, Drum::brush, 0.3});
    // The ride pattern: "ding, ding-a ding, ding-a".
    for (int beat = 0; beat < 4; ++beat) {
      hits.push_back({b + beat, Drum::closed_hat, beat % 2 == 1 ? 1.0 : 0.75});
      if (beat % 2 == 1) {
        hits.push_back({b + beat + swung, Drum::closed_hat, 0.5});
      }
    }
  }
  // A two-note brush fill into the last bar, then one full stop.
  hits.push_back({23.0 + swung, Drum::brush, 0.7});
  hits.push_back({24.0, Drum::kick, 1.0});
  hits.push_back({24.0, Drum::open_hat, 0.9});
  return hits;
}

}  // namespace wavorin::synth
