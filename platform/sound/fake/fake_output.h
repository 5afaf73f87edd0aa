#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound/sound_output.h"

namespace wavorin {

// An output for the tests, in virtual time: a device that renders one
// millisecond of the stream at each tick, behind a buffer that it keeps
// topped up from the source, and a server that a test can suspend, stop,
// lose and bring back. Everything it renders is kept, so a test hears what
// a listener would have. Used on one thread, but wake() may come from a
// feeder's.
class FakeOutput : public SoundOutput {
 public:
  struct Setup {
    std::size_t buffer_frames = 2048;  // what the server holds ahead (its latency)
    bool rewinds = true;               // flush() takes back what was not heard
    // Silence the device had already rendered, and cannot take back, when
    // the stream is uncorked: its first samples are heard only after it.
    std::size_t ahead_frames = 0;
    bool tells_drained = true;  // Drained once a drain() has played out
    // played() counts what the server has read rather than what was heard,
    // as PipeWire's pulse server lets a client see.
    bool counts_read = false;
  };
  enum class Server { Running, Suspended, Stopped, Absent };

  FakeOutput(OutputListener& listener, Setup setup) : listener_(listener), setup_(setup) {}

  bool open(const OutputFormat& format, SampleSource& source,
            const std::string& media_name) override;
  bool is_open() const override { return source_ != nullptr; }
  void set_corked(bool corked) override;
  void wake() override { woken_ = true; }
  std::uint64_t flush() override;
  void drain() override;
  void close() override;
  std::uint64_t played() const override { return setup_.counts_read ? pulled_ : played_; }
  void set_latency(Latency latency) override { latency_ = latency; }
  void set_media_name(const std::string& media_name) override { media_name_ = media_name; }
  std::string why() const override { return "the test's server is absent"; }
  const char* name() const override { return "fake"; }

  // The test's side.
  void tick(std::chrono::milliseconds elapsed);
  void set_server(Server server);
  // The stream is lost (the server went); Restored follows set_server(Running).
  void lose();

  bool corked() const { return corked_; }
  int opens() const { return opens_; }
  int drains() const { return drains_; }
  Latency latency() const { return latency_; }
  const std::string& media_name() const { return media_name_; }
  // Every stream sample rendered, in order, and the silent frames rendered
  // while the stream had nothing.
  const std::vector<std::int16_t>& heard() const { return heard_; }
  std::uint64_t silence_frames() const { return silence_frames_; }

 private:
  void top_up();

  OutputListener& listener_;
  Setup setup_;
  Server server_ = Server::Running;
  SampleSource* source_ = nullptr;
  OutputFormat format_;
  bool corked_ = true;
  std::atomic<bool> woken_{false};
  std::vector<std::int16_t> queued_;  // pulled, not yet rendered
  std::uint64_t pulled_ = 0;
  std::uint64_t played_ = 0;
  double owed_ = 0;  // frames due to render, a fraction carried
  int opens_ = 0;
  int drains_ = 0;
  Latency latency_ = Latency::Low;
  std::string media_name_;
  std::vector<std::int16_t> heard_;
  std::uint64_t silence_frames_ = 0;
  bool lost_ = false;
  std::size_t ahead_ = 0;  // silence still to render before the stream
  bool draining_ = false;
};

}  // namespace wavorin
