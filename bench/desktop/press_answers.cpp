#include "bench/desktop/press_answers.h"

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "app/layout.h"
#include "bench/desktop/x_driver.h"
#include "bench/sound/child_process.h"
#include "bench/sound/device_tap.h"
#include "bench/sound/server_state.h"

namespace wavorin::bench {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kProbeX = 112;
constexpr int kProbeY = 200;
constexpr int kButtonY = layout::button_centre(Element::b_ply).y;
constexpr int kPlayX = layout::button_centre(Element::b_ply).x;
constexpr int kStopX = layout::button_centre(Element::b_stp).x;

void sleep_ms(int ms) { std::this_thread::sleep_for(milliseconds(ms)); }

double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Presses a button and returns ms from its release until the window
// answers again (negative: not within 10 s).
double answer_ms(XDriver& x, const XDriver::Window& window, int button_x) {
  x.press(window, button_x, kButtonY);
  sleep_ms(50);
  const auto released = x.release();
  // The program hands a release to its handler after the other events read
  // with it, so a question sent with the release may be answered first: ask
  // a little later, twice, and take the later answer.
  sleep_ms(5);
  x.answered(window, milliseconds(10000));
  const auto answered = x.answered(window, milliseconds(10000));
  return answered == Clock::time_point{} ? -1 : ms_between(released, answered);
}

// Polls `done` every 10 ms for up to `limit`; ms from `from` until it held,
// or -1.
template <typename Done>
double ms_until(Clock::time_point from, milliseconds limit, Done done) {
  while (Clock::now() - from < limit) {
    if (done()) return ms_between(from, Clock::now());
    sleep_ms(10);
  }
  return -1;
}

void signal_all(const std::vector<pid_t>& pids, int signal) {
  for (const pid_t pid : pids) kill(pid, signal);
}

}  // namespace

int run_press_answers(const std::string& program, const std::vector<pid_t>& server) {
  XDriver x;
  x.move_pointer(1000, 740);
  std::unique_ptr<ChildProcess> app;
  XDriver::Window window;
  const auto painted = x.start_and_wait_painted(
      [&] {
        app = std::make_unique<ChildProcess>(
            std::vector<std::string>{program},
            DeviceTap::player_environment(DeviceTap::Backend::native));
      },
      kProbeX, kProbeY, milliseconds(10000), window);
  if (painted == Clock::time_point{}) {
    std::printf("painted_ms=none\n");
    return 1;
  }
  const pid_t pid = app->pid();
  sleep_ms(1000);

  // A tune playing: Stop, and Play over it, each 1.3 s into the tune.
  answer_ms(x, window, kPlayX);
  sleep_ms(1300);
  std::printf("answer_stop_playing_ms=%.1f ", answer_ms(x, window, kStopX));
  answer_ms(x, window, kPlayX);
  sleep_ms(1300);
  std::printf("answer_play_playing_ms=%.1f ", answer_ms(x, window, kPlayX));
  sleep_ms(1300);

  // Stop, then how soon the stream is corked and the sink may sleep.
  x.press(window, kStopX, kButtonY);
  sleep_ms(50);
  const auto stopped = x.release();
  std::printf("corked_after_stop_ms=%.0f ",
              ms_until(stopped, milliseconds(5000), [&] { return uncorked_streams(pid) == 0; }));
  std::printf("sink_suspended_after_stop_ms=%.0f ",
              ms_until(stopped, milliseconds(20000), [] { return default_sink_suspended(); }));

  // Play with the sink suspended.
  std::system("pactl suspend-sink @DEFAULT_SINK@ 1 >/dev/null 2>&1");
  sleep_ms(300);
  std::printf("answer_play_suspended_ms=%.1f ", answer_ms(x, window, kPlayX));
  sleep_ms(500);
  std::system("pactl suspend-sink @DEFAULT_SINK@ 0 >/dev/null 2>&1");
  sleep_ms(1000);

  // Play and Stop with the server stopped (not answering at all).
  signal_all(server, SIGSTOP);
  sleep_ms(200);
  std::printf("answer_play_server_stopped_ms=%.1f ", answer_ms(x, window, kPlayX));
  sleep_ms(300);
  std::printf("answer_stop_server_stopped_ms=%.1f\n", answer_ms(x, window, kStopX));
  signal_all(server, SIGCONT);
  sleep_ms(500);
  return 0;
}

}  // namespace wavorin::bench
