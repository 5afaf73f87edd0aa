#pragma once

#include <chrono>
#include <functional>

using Display = struct _XDisplay;

namespace wavorin::bench {

// The bench's own X client: sees a program's window appear and get painted,
// and presses its buttons and keys through XTest, as a person would.
class XDriver {
 public:
  using Clock = std::chrono::steady_clock;
  struct Window {
    unsigned long id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

  XDriver();  // the display in DISPLAY; throws if there is none
  XDriver(const XDriver&) = delete;
  XDriver& operator=(const XDriver&) = delete;
  ~XDriver();

  // Runs `start` and waits for the first top-level window mapped after it,
  // then until the pixel at (`probe_x`, `probe_y`) of that window is no longer
  // black. Returns the moment it was seen painted; `window` is set. Gives up
  // after `timeout` (the moment is then the epoch).
  Clock::time_point start_and_wait_painted(const std::function<void()>& start, int probe_x,
                                           int probe_y, std::chrono::milliseconds timeout,
                                           Window& window);

  // Moves the pointer to (x, y) of the screen.
  void move_pointer(int x, int y);
  // Moves the pointer to (x, y) of `window` and presses the left button.
  void press(const Window& window, int x, int y);
  // Releases it; returns the moment just before the release was sent.
  Clock::time_point release();
  // Presses and releases a key by its keysym name ("Escape").
  void key(const char* name);
  // Asks `window`'s program whether it answers (_NET_WM_PING, which the
  // program's own event loop sends back) and returns the moment the answer
  // came, or the epoch when none came within `timeout`. Asked right after a
  // press, it tells when the press's handler has returned.
  Clock::time_point answered(const Window& window, std::chrono::milliseconds timeout);

 private:
  Display* display_;
};

}  // namespace wavorin::bench
