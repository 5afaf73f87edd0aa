#include "tools/synth/tune.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/synth/drums.h"
#include "tools/synth/envelope.h"
#include "tools/synth/random_source.h"
#include "tools/synth/room_reverb.h"
#include "tools/synth/score.h"
#include "tools/synth/voices.h"

namespace wavorin::synth {

namespace {

constexpr double seconds_per_beat = 60.0 / tempo_bpm;
constexpr double lead_in_s = 0.05;
constexpr double tail_s = 0.45;       // after the last beat, for the room to die away
constexpr double fade_out_s = 1.6;    // the whole band fades over the file's last part
constexpr double peak_level = 0.891;  // -1 dBFS
// A player is never exactly on the grid: up to this much early or late, in seconds.
constexpr double timing_spread_s = 0.006;

// The band as seen from the listener: sax a little right, piano left, bass
// and kick in the middle, the drummer's brush and hi-hat to either side.
constexpr Placement sax_seat{.gain = 0.42, .pan = 0.25};
constexpr Placement piano_seat{.gain = 0.30, .pan = -0.4};
constexpr Placement bass_seat{.gain = 0.52, .pan = 0.0};
constexpr Placement kick_seat{.gain = 0.5, .pan = 0.0};
constexpr Placement brush_seat{.gain = 0.2, .pan = 0.15};
constexpr Placement hat_seat{.gain = 0.07, .pan = -0.3};

std::size_t frame_at(double beat, double nudge_s) {
  return frames_for(lead_in_s + beat * seconds_per_beat + nudge_s);
}

// Every draw from `random` is its own statement: the order in which a call's
// arguments are evaluated is unspecified, and the output must not depend on
// the compiler.

void play_melody(StereoBuffer& band, RandomSource& random) {
  for (const Note& n : melody()) {
    // The player tongues each note, leaving a breath of 30 ms before the next.
    const double held = n.length * seconds_per_beat - 0.03;
    const std::size_t frame = frame_at(n.beat, timing_spread_s * random.bipolar());
    band.mix(sax_note({midi_to_hz(n.midi), held, n.velocity}, random), frame, sax_seat);
  }
}

void play_bass(StereoBuffer& band, RandomSource& random) {
  for (const Note& n : bass_line()) {
    const std::size_t frame = frame_at(n.beat, 0.5 * timing_spread_s * random.bipolar());
    band.mix(bass_note({midi_to_hz(n.midi), n.length * seconds_per_beat, n.velocity}), frame,
             bass_seat);
  }
}

void play_piano(StereoBuffer& band, RandomSource& random) {
  for (const Chord& c : comping()) {
    std::vector<double> frequencies;
    frequencies.reserve(c.midi.size());
    for (const int m : c.midi) {
      frequencies.push_back(midi_to_hz(m));
    }
    const double velocity = c.velocity * (1.0 + 0.08 * random.bipolar());
    const std::size_t frame = frame_at(c.beat, timing_spread_s * random.bipolar());
    band.mix(piano_chord(frequencies, c.length * seconds_per_beat, velocity), frame, piano_seat);
  }
}

void play_drums(StereoBuffer& band, RandomSource& random) {
  for (const DrumHit& hit : drum_part()) {
    const double velocity = hit.velocity * (1.0 + 0.1 * random.bipolar());
    const std::size_t frame = frame_at(hit.beat, 0.5 * timing_spread_s * random.bipolar());
    switch (hit.drum) {
      case Drum::kick:
        band.mix(kick(velocity, random), frame, kick_seat);
        break;
      case Drum::brush:
        band.mix(brush_snare(velocity, random), frame, brush_seat);
        break;
      case Drum::closed_hat:
      case Drum::open_hat:
        band.mix(hi_hat(velocity, hit.drum == Drum::open_hat, random), frame, hat_seat);
        break;
    }
  }
}

}  // namespace

StereoBuffer make_sample1() {
  const double length_s = lead_in_s + 4.0 * bars * seconds_per_beat + tail_s;
  StereoBuffer band(frames_for(length_s));
  RandomSource random(0x00D00B0FU);
  play_melody(band, random);
  play_bass(band, random);
  play_piano(band, random);
  play_drums(band, random);

  band.mix(RoomReverb({.size = 0.45, .damping = 0.5}).process(band), 0.5);

  const double end = static_cast<double>(band.frames() - 1) / sample_rate;
  for (std::size_t i = 0; i < band.frames(); ++i) {
    const double t = static_cast<double>(i) / sample_rate;
    const double fade = 1.0 - smooth_step(end - fade_out_s, end, t);
    band.left()[i] *= fade;
    band.right()[i] *= fade;
  }
  band.scale(peak_level / band.peak());
  return band;
}

}  // namespace wavorin::synth
