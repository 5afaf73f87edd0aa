#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/sound/sound_output.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace wavorin {

// An output on libpulse's asynchronous API, for PulseAudio or PipeWire's
// pulse server. Its state belongs to libpulse's main loop thread and is
// touched only under the loop's lock, by that thread in its callbacks or
// briefly by a caller, which never waits for the server while holding it.
// The connection stays for the program's life and is made again when a
// stream is asked for after the server went.
class PulseOutput : public SoundOutput {
 public:
  // Connected, or nothing with the reason in `refused`.
  static std::unique_ptr<SoundOutput> make(OutputListener& listener, std::string& refused);

  PulseOutput(const PulseOutput&) = delete;
  PulseOutput& operator=(const PulseOutput&) = delete;
  ~PulseOutput() override;

  bool open(const OutputFormat& format, SampleSource& source,
            const std::string& media_name) override;
  bool is_open() const override;
  void set_corked(bool corked) override;
  void wake() override;
  std::uint64_t flush() override;
  void drain() override;
  void close() override;
  std::uint64_t played() const override;
  void set_latency(Latency latency) override;
  void set_media_name(const std::string& media_name) override;
  std::string why() const override;
  const char* name() const override { return "pulse"; }

 private:
  explicit PulseOutput(OutputListener& listener) : listener_(listener) {}
  // Connecting is asked for; the stream follows when a stream is wanted.
  bool connect();
  void make_stream();
  void set_corked_locked(bool corked);
  // `uncorking`: also while still corked, just before the uncork.
  void write_some(bool uncorking = false);
  void lose(const std::string& reason);
  void tell(OutputEvent event, const std::string& reason = {});

  static void on_context_state(pa_context* context, void* self);
  static void on_stream_state(pa_stream* stream, void* self);
  static void on_write(pa_stream* stream, std::size_t bytes, void* self);

  OutputListener& listener_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  bool ready_ = false;    // the context answers
  bool rewinds_ = false;  // the server rewinds its device: PulseAudio, not PipeWire
  bool lost_ = false;     // since the last Lost, nothing was made again
  bool wanted_ = false;   // a stream is asked for (open() until close())
  bool corked_ = true;
  bool long_buffer_ = false;
  bool triggered_ = false;  // the server was told to play what it has since the uncork
  SampleSource* source_ = nullptr;
  std::string media_name_;
  std::string why_;
  std::uint64_t pulled_ = 0;  // stream frames written
  // What was played when the stream was last uncorked, and when: a device
  // that renders ahead says it played what it only took, and no more can
  // have been heard since than real time allows.
  mutable std::uint64_t played_ = 0;
  std::uint64_t played_at_uncork_ = 0;
  // The server's timing was updated after the first write since the uncork:
  // until then its latency may be that of a suspended or idle device.
  bool timed_ = false;
  std::chrono::steady_clock::time_point uncorked_at_;
  // When a server that rewinds first read from the stream after the uncork
  // (it reads nothing while its device is suspended or it is stopped).
  mutable std::optional<std::chrono::steady_clock::time_point> reading_since_;
};

}  // namespace wavorin
