#include "bench/sound/fifo_listener.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace wavorin::bench {

FifoListener::FifoListener(std::string path) : path_(std::move(path)) {
  ::unlink(path_.c_str());
  ::mkfifo(path_.c_str(), 0600);
  thread_ = std::thread([this] { listen(); });
}

FifoListener::~FifoListener() {
  quitting_ = true;
  // Unblocks a reader waiting in open() for a writer.
  const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
  if (writer >= 0) ::close(writer);
  thread_.join();
  ::unlink(path_.c_str());
}

void FifoListener::arm() {
  heard_at_ = 0;
  last_heard_at_ = 0;
  samples_at_arm_ = bytes_read_ / static_cast<long long>(sizeof(std::int16_t));
  last_sound_sample_ = -1;
  armed_at_ = Clock::now().time_since_epoch().count();
  armed_ = true;
}

double FifoListener::seconds_to_sound(std::chrono::milliseconds timeout) const {
  const auto until = Clock::now() + timeout;
  while (heard_at_ == 0 && Clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (heard_at_ == 0) return -1.0;
  return std::chrono::duration<double>(Clock::duration(heard_at_ - armed_at_)).count();
}

double FifoListener::seconds_to_last_sound() const {
  if (last_heard_at_ == 0) return -1.0;
  return std::chrono::duration<double>(Clock::duration(last_heard_at_ - armed_at_)).count();
}

long long FifoListener::samples_of_sound_since_arm(int channels) const {
  const long long last = last_sound_sample_;
  if (last < samples_at_arm_) return 0;
  return (last - samples_at_arm_) / channels + 1;
}

bool FifoListener::wait_for_data(std::chrono::milliseconds timeout) const {
  const auto until = Clock::now() + timeout;
  while (bytes_read_ == 0 && Clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return bytes_read_ > 0;
}

void FifoListener::listen() {
  std::vector<std::int16_t> block(2048);
  while (!quitting_) {
    const int fifo = ::open(path_.c_str(), O_RDONLY);
    if (fifo < 0) return;
    for (;;) {
      const ssize_t n = ::read(fifo, block.data(), block.size() * sizeof(std::int16_t));
      if (n <= 0) break;
      const long long first = bytes_read_ / static_cast<long long>(sizeof(std::int16_t));
      bytes_read_ += n;
      const auto end = block.begin() + n / 2;
      const auto last = std::find_if(std::make_reverse_iterator(end), block.rend(),
                                     [](std::int16_t s) { return s != 0; });
      if (last != block.rend()) {
        last_heard_at_ = Clock::now().time_since_epoch().count();
        last_sound_sample_ = first + (block.rend() - last) - 1;
      }
      if (!armed_) continue;
      for (ssize_t i = 0; i < n / 2; ++i) {
        if (block[static_cast<std::size_t>(i)] != 0) {
          heard_at_ = Clock::now().time_since_epoch().count();
          armed_ = false;
          break;
        }
      }
    }
    ::close(fifo);
  }
}

}  // namespace wavorin::bench
