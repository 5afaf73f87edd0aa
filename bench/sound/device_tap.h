#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "bench/sound/child_process.h"
#include "bench/sound/fifo_listener.h"

namespace wavorin::bench {

// Where the benchmark hears a player's output, for players built on SDL2
// (which pick their driver from the environment) and for PulseAudio clients.
//   disk:   SDL's disk driver writes the device's samples into a FIFO.
//   native: the player chooses its own output (no SDL_AUDIODRIVER), heard as
//           for pulse.
//   pulse:  an SDL2 player uses SDL's PulseAudio driver; any player talks to
//           the PulseAudio server in PULSE_SERVER (PipeWire's too); parec
//           records the monitor of the default sink (a null sink, for a
//           machine without a sound card) into the FIFO in 1 ms fragments,
//           so a sample is read within about a millisecond of the server
//           handing it out (on PipeWire, once per cycle of its graph: the
//           sink mixes a cycle's samples at once). Such a short fragment
//           costs the server: on PipeWire it holds the whole graph at a
//           short cycle (128 frames) while the tap is open, so open a tap
//           only around what it times.
class DeviceTap {
 public:
  enum class Backend { disk, native, pulse };

  // Nullptr, with the reason on stderr, if the monitor stream never started.
  static std::unique_ptr<DeviceTap> open(Backend backend);
  DeviceTap(const DeviceTap&) = delete;
  DeviceTap& operator=(const DeviceTap&) = delete;
  ~DeviceTap() = default;

  // The variables that send an SDL2 player's output where this tap hears it.
  const ChildProcess::Environment& player_environment() const { return env_; }
  // The same for a sound server's back end, before or without a tap.
  static ChildProcess::Environment player_environment(Backend backend);
  void arm() { listener_.arm(); }
  double seconds_to_sound(std::chrono::milliseconds timeout) const {
    return listener_.seconds_to_sound(timeout);
  }
  double seconds_to_last_sound() const { return listener_.seconds_to_last_sound(); }
  // Seconds of sound after arm(), counted in the recorded stream (44.1 kHz
  // stereo): see FifoListener::samples_of_sound_since_arm.
  double seconds_of_sound_since_arm() const {
    return static_cast<double>(listener_.samples_of_sound_since_arm(2)) / 44100.0;
  }

 private:
  DeviceTap(Backend backend, std::string fifo);

  std::string fifo_;
  FifoListener listener_;
  ChildProcess::Environment env_;
  std::unique_ptr<ChildProcess> recorder_;  // parec, for the pulse back end
};

}  // namespace wavorin::bench
