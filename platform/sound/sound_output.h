#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace wavorin {

// What an output is fed: signed 16-bit samples in the machine's byte order,
// interleaved. An output takes the format it is opened with; where its
// device wants another, the output (or its library) converts.
struct OutputFormat {
  int rate = 44100;  // frames per second
  int channels = 2;

  std::size_t frame_bytes() const { return static_cast<std::size_t>(channels) * 2; }
  bool operator==(const OutputFormat&) const = default;
};

// Where an output takes its samples from: the request layer's, which alone
// knows what plays, the fades and the ends of sounds.
class SampleSource {
 public:
  virtual ~SampleSource() = default;

  // Copies at most `frames` frames into `out` and returns how many. Called
  // on the output's own thread, which may be real-time: it never blocks,
  // locks, allocates or touches a file, and never with an output lock that
  // a request takes for longer than a copy. Fewer than asked (0 included)
  // means nothing more is ready now; the output pads its device with
  // silence if it must (padding is not stream frames) and pulls again on
  // its next cycle or after wake().
  virtual std::size_t pull(std::int16_t* out, std::size_t frames) noexcept = 0;
};

// What an output tells of its server or device, beyond what was asked.
enum class OutputEvent {
  Lost,       // the connection or the device is gone; the stream with it
  Restored,   // the server answers again after Lost (or after a refused open)
  Suspended,  // the device stopped playing the open, uncorked stream (sink suspended)
  Resumed,    // it plays again after Suspended
  Moved,      // the stream was moved to another device: its latency may differ
  Drained,    // everything pulled since drain() has been played by the server
};

class OutputListener {
 public:
  virtual ~OutputListener() = default;

  // Called on the output's own thread, possibly holding the output's lock:
  // it must only record the event and wake whoever handles it, never call
  // the output nor wait for a lock held by a thread that calls it.
  // `reason` is the library's own words (pa_strerror, SDL_GetError), for
  // Lost; empty otherwise.
  virtual void on_output_event(OutputEvent event, const std::string& reason) = 0;
};

// One way out to the listener's ears (a sound server, a device, or the
// tests' fake), one stream at a time, knowing nothing of requests, flags,
// fades or grace periods: the request layer above decides all of that and
// only asks for the operations below.
//
// Threads: the methods are called by the request layer, one at a time (it
// serialises them), from any of its threads. None of them waits for a server
// or a device: each returns within a millisecond or so, and work that can
// wait (connecting, making or closing a stream, opening a device) is done on
// the output's own thread, its outcome told through the listener. Only the
// maker (below) may wait, boundedly, for a server's first answer.
//
// Stream position: frames pulled from the source since open(), counted in
// the order they are heard. flush() moves it back to what was taken back.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;

  // Starts making a stream for `format`, corked, whose samples come from
  // `source` (which outlives the stream). Returns at once: false, with
  // why() set, when no stream can be made now (no server, no device); the
  // output then tries to reach its server again in the background and tells
  // Restored when it does. A stream that fails later is told as Lost.
  // `media_name` is what the desktop's mixers show for it.
  virtual bool open(const OutputFormat& format, SampleSource& source,
                    const std::string& media_name) = 0;
  // True between a successful open() and close() or Lost.
  virtual bool is_open() const = 0;

  // The stream pulls and plays (uncork) or neither pulls nor plays and lets
  // the device sleep (cork). Opened corked. Frames pulled but not heard stay
  // queued across a cork.
  virtual void set_corked(bool corked) = 0;
  // The source has samples again after a short pull: pull now rather than
  // at the next cycle. Callable from any thread, cheap; never blocks.
  virtual void wake() = 0;
  // Throws away what was pulled but not heard, as far as the server can
  // take it back, and returns the stream position that the next pulled frame
  // follows: played() at best (a server that rewinds), everything pulled so
  // far at worst (one that cannot). A pull in progress has returned first.
  virtual std::uint64_t flush() = 0;
  // No frame will follow those pulled so far for now: the server plays them
  // out without waiting for more, and tells Drained once it has. Not to be
  // waited on for "heard": played() tells that.
  virtual void drain() = 0;
  // Ends the stream (corked first if need be); what was queued is dropped.
  // Returns at once; the server is told on the output's thread.
  virtual void close() = 0;

  // Stream frames the listener has heard: pulled, through the device, with
  // the server's and the device's latency past. Never more than were pulled,
  // never decreasing except by flush(). Callable from any thread, never
  // blocks. Stays where it was while the server is stopped or the device
  // suspended.
  virtual std::uint64_t played() const = 0;

  // A hint from what plays: Low while short sounds (clicks) play, so they
  // start at once; High for a long one, so the server and the program wake
  // up rarely. Opened Low.
  enum class Latency { Low, High };
  virtual void set_latency(Latency latency) = 0;
  // Shows another media name (the file playing) in the desktop's mixers.
  virtual void set_media_name(const std::string& media_name) = 0;

  // Why the last open() failed or the stream was lost, in the library's words.
  virtual std::string why() const = 0;
  // Short name for logs and forcing: "pulse", "sdl", "fake", ...
  virtual const char* name() const = 0;
};

// How each output is made: connected to its server (waiting for its first
// answer, boundedly) or nothing, with `refused` saying why. `listener`
// outlives the output. Each output's folder offers one maker; the choice
// among them is made once, when the sound system starts
// (platform/sound/output_choice.h).
using OutputMaker = std::unique_ptr<SoundOutput> (*)(OutputListener& listener,
                                                     std::string& refused);

}  // namespace wavorin
