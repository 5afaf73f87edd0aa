#include "platform/sound/fake/fake_output.h"

#include <algorithm>

namespace wavorin {

bool FakeOutput::open(const OutputFormat& format, SampleSource& source,
                      const std::string& media_name) {
  if (server_ == Server::Absent) return false;
  ++opens_;
  source_ = &source;
  format_ = format;
  corked_ = true;
  queued_.clear();
  pulled_ = 0;
  played_ = 0;
  media_name_ = media_name;
  latency_ = Latency::Low;
  return true;
}

void FakeOutput::set_corked(bool corked) {
  if (corked_ && !corked) ahead_ = setup_.ahead_frames;
  corked_ = corked;
}

void FakeOutput::drain() {
  ++drains_;
  draining_ = setup_.tells_drained;
  // Asked while it holds nothing, a server says at once that it has
  // played everything out.
  if (draining_ && queued_.empty()) {
    draining_ = false;
    listener_.on_output_event(OutputEvent::Drained, "");
  }
}

std::uint64_t FakeOutput::flush() {
  if (!setup_.rewinds) return pulled_;
  queued_.clear();
  pulled_ = played_;
  return played_;
}

void FakeOutput::close() {
  source_ = nullptr;
  queued_.clear();
  corked_ = true;
}

void FakeOutput::set_server(Server server) {
  const bool back = server_ == Server::Absent && server == Server::Running;
  server_ = server;
  if (back && lost_) {
    lost_ = false;
    listener_.on_output_event(OutputEvent::Restored, "");
  }
}

void FakeOutput::lose() {
  server_ = Server::Absent;
  lost_ = true;
  close();
  listener_.on_output_event(OutputEvent::Lost, "the test's server went away");
}

void FakeOutput::top_up() {
  const auto channels = static_cast<std::size_t>(format_.channels);
  const std::size_t have = queued_.size() / channels;
  if (have >= setup_.buffer_frames) return;
  const std::size_t want = setup_.buffer_frames - have;
  queued_.resize((have + want) * channels);
  const std::size_t got = source_->pull(queued_.data() + have * channels, want);
  queued_.resize((have + got) * channels);
  pulled_ += got;
}

void FakeOutput::tick(std::chrono::milliseconds elapsed) {
  woken_ = false;
  if (source_ == nullptr || corked_ || server_ != Server::Running) return;
  top_up();
  owed_ += static_cast<double>(format_.rate) * static_cast<double>(elapsed.count()) / 1000.0;
  auto frames = static_cast<std::size_t>(owed_);
  owed_ -= static_cast<double>(frames);
  const std::size_t late = std::min(frames, ahead_);
  ahead_ -= late;
  silence_frames_ += late;
  frames -= late;
  const auto channels = static_cast<std::size_t>(format_.channels);
  const std::size_t from_stream = std::min(frames, queued_.size() / channels);
  heard_.insert(heard_.end(), queued_.begin(),
                queued_.begin() + static_cast<std::ptrdiff_t>(from_stream * channels));
  queued_.erase(queued_.begin(),
                queued_.begin() + static_cast<std::ptrdiff_t>(from_stream * channels));
  played_ += from_stream;
  silence_frames_ += frames - from_stream;
  top_up();
  if (draining_ && queued_.empty()) {
    draining_ = false;
    listener_.on_output_event(OutputEvent::Drained, "");
  }
}

}  // namespace wavorin
