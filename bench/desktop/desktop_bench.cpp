// One measured run of the whole program, or of a floor it is compared with,
// on the bench's private X server and PulseAudio server. Prints one line of
// key=value figures; bench/run.sh runs it many times, interleaved, and makes
// the table. Never judges.
//
//   wavorin_desktop_bench wavorin <program> <server pids> native|sdl
//   wavorin_desktop_bench bare <program>
//   wavorin_desktop_bench bare_dialog <program> <dialog folder>
//   wavorin_desktop_bench load <server pids> <seconds> <command> [args...]
//   wavorin_desktop_bench process <pid>   (resident KiB, threads, open files)
// <server pids>: the sound server's processes, comma-separated (PipeWire's
// pulse server works through pipewire and wireplumber): their CPU is summed.
// native: the program chooses its output as on a desktop; sdl: it is made
// to play through SDL's PulseAudio driver.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/layout.h"
#include "bench/desktop/press_answers.h"
#include "bench/desktop/x_driver.h"
#include "bench/proc/process_reader.h"
#include "bench/sound/child_process.h"
#include "bench/sound/device_tap.h"
#include "bench/sound/server_state.h"

namespace {

using wavorin::bench::ChildProcess;
using wavorin::bench::DeviceTap;
using wavorin::bench::ProcessUse;
using wavorin::bench::uncorked_streams;
using wavorin::bench::XDriver;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Window pixels: a point inside the cabinet's body that the skin colours,
// and the centres of the round buttons as Form_Load places them.
constexpr int kProbeX = 112;
constexpr int kProbeY = 200;
using wavorin::layout::button_centre;
constexpr int kButtonY = button_centre(wavorin::Element::b_ply).y;
constexpr int kPlayX = button_centre(wavorin::Element::b_ply).x;
constexpr int kStopX = button_centre(wavorin::Element::b_stp).x;
constexpr int kOpenX = button_centre(wavorin::Element::b_opn).x;
// A screen point far from the window, which appears at the origin.
constexpr int kAwayX = 1000;
constexpr int kAwayY = 740;

void sleep_s(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Resident memory now, MiB.
double rss_mib(pid_t pid) {
  return static_cast<double>(wavorin::bench::status_number(pid, "VmRSS")) / 1024.0;
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::vector<pid_t> parse_pids(const std::string& list) {
  std::vector<pid_t> pids;
  std::istringstream in(list);
  for (std::string pid; std::getline(in, pid, ',');) pids.push_back(std::stoi(pid));
  return pids;
}

double cpu_seconds_of(const std::vector<pid_t>& pids) {
  double total = 0;
  for (const pid_t pid : pids) total += wavorin::bench::cpu_seconds(pid);
  return total;
}

// CPU share (% of a core) and wake-ups a second of `pid`, and the sound
// server's CPU share, over `seconds` from now.
struct Load {
  double cpu_pct;
  double wakeups_per_s;
  double server_pct;
};
Load measure(pid_t pid, const std::vector<pid_t>& server, double seconds) {
  const ProcessUse a = ProcessUse::of(pid);
  const double sa = cpu_seconds_of(server);
  const auto start = Clock::now();
  sleep_s(seconds);
  const ProcessUse b = ProcessUse::of(pid);
  const double sb = cpu_seconds_of(server);
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  return {(b.cpu_seconds - a.cpu_seconds) / took * 100,
          static_cast<double>(b.wakeups_since(a)) / took, (sb - sa) / took * 100};
}

// Presses a button and releases it.
void press(XDriver& x, const XDriver::Window& window, int button_x) {
  x.press(window, button_x, kButtonY);
  sleep_s(0.05);
  x.release();
}

// Presses a button, releases it, and returns ms from the release to the
// first sample at the sink's monitor (negative: none within 2 s).
double click(XDriver& x, DeviceTap& tap, const XDriver::Window& window, int button_x) {
  x.press(window, button_x, kButtonY);
  sleep_s(0.05);
  tap.arm();
  x.release();
  const double first = tap.seconds_to_sound(milliseconds(2000));
  return first < 0 ? -1 : first * 1e3;
}

// Opens the file dialog with a click on Open, closes it with Escape, and
// returns the resident memory (MiB) once it has gone.
double dialog_rss_mib(XDriver& x, const XDriver::Window& window, pid_t pid) {
  press(x, window, kOpenX);
  sleep_s(1.5);
  x.key("Escape");
  sleep_s(1.0);
  return rss_mib(pid);
}

int run_wavorin(const std::string& program, const std::vector<pid_t>& server, bool native) {
  const DeviceTap::Backend backend =
      native ? DeviceTap::Backend::native : DeviceTap::Backend::pulse;
  XDriver x;
  // Away from where the window appears: a window nobody reaches for is idle.
  x.move_pointer(kAwayX, kAwayY);
  std::unique_ptr<ChildProcess> app;
  XDriver::Window window;
  const auto painted = x.start_and_wait_painted(
      [&] {
        app = std::make_unique<ChildProcess>(std::vector<std::string>{program},
                                             DeviceTap::player_environment(backend));
      },
      kProbeX, kProbeY, milliseconds(10000), window);
  if (painted == Clock::time_point{}) {
    std::printf("painted_ms=none\n");
    return 1;
  }
  const pid_t pid = app->pid();
  std::printf("painted_ms=%.2f ", ms(painted - app->started()));
  sleep_s(1.5);
  std::printf("idle_rss_mib=%.2f ", rss_mib(pid));
  const Load idle = measure(pid, server, 2.0);
  std::printf("idle_wakeups_per_s=%.2f idle_server_pct=%.2f ", idle.wakeups_per_s, idle.server_pct);

  // The fine tap is open only while a click is timed: on PipeWire it holds
  // the whole graph at a short cycle, which the loads measured here and
  // paplay's (measured without it) must not pay.
  auto tap = DeviceTap::open(backend);
  if (!tap) return 1;
  std::printf("click_first_ms=%.2f ", click(x, *tap, window, kStopX));
  sleep_s(0.3);
  // Within the grace period after the first click's sound.
  std::printf("click_open_ms=%.2f ", click(x, *tap, window, kStopX));
  const auto clicked = Clock::now();
  tap.reset();
  // What a click costs once its sound (42 ms) is over by a second.
  std::this_thread::sleep_until(clicked + milliseconds(1050));
  std::printf("after_1s_uncorked_streams=%d ", uncorked_streams(pid));
  const Load after = measure(pid, server, 2.0);
  std::printf("after_1s_wakeups_per_s=%.1f after_1s_server_pct=%.2f ", after.wakeups_per_s,
              after.server_pct);
  tap = DeviceTap::open(backend);
  if (!tap) return 1;
  std::printf("click_closed_ms=%.2f ", click(x, *tap, window, kStopX));
  tap.reset();
  sleep_s(0.3);

  press(x, window, kPlayX);
  sleep_s(1.5);
  const Load playing = measure(pid, server, 5.0);
  std::printf("play_cpu_pct=%.2f play_wakeups_per_s=%.1f play_server_pct=%.2f ", playing.cpu_pct,
              playing.wakeups_per_s, playing.server_pct);
  press(x, window, kStopX);
  sleep_s(0.5);

  // Against the memory just before: by now the sound system and the strip
  // are in use, which the idle figure is without.
  std::printf("before_dialog_rss_mib=%.2f ", rss_mib(pid));
  std::printf("dialog_rss_mib=%.2f\n", dialog_rss_mib(x, window, pid));
  return 0;
}

// The bare window started with `args`; with a dialog folder it is also
// measured after the program's file dialog has been used there.
int run_bare(const std::vector<std::string>& args, const std::string& dialog_folder) {
  XDriver x;
  // Away from where the window appears: a window nobody reaches for is idle.
  x.move_pointer(kAwayX, kAwayY);
  std::unique_ptr<ChildProcess> app;
  XDriver::Window window;
  const auto painted = x.start_and_wait_painted(
      [&] { app = std::make_unique<ChildProcess>(args, ChildProcess::Environment{}); }, kProbeX,
      kProbeY, milliseconds(10000), window);
  if (painted == Clock::time_point{}) {
    std::printf("painted_ms=none\n");
    return 1;
  }
  std::printf("painted_ms=%.2f ", ms(painted - app->started()));
  sleep_s(1.5);
  std::printf("idle_rss_mib=%.2f", rss_mib(app->pid()));
  if (!dialog_folder.empty()) {
    std::printf(" before_dialog_rss_mib=%.2f", rss_mib(app->pid()));
    std::printf(" dialog_rss_mib=%.2f", dialog_rss_mib(x, window, app->pid()));
  }
  std::printf("\n");
  return 0;
}

int run_load(const std::vector<pid_t>& server, double seconds,
             const std::vector<std::string>& command) {
  ChildProcess player(command, ChildProcess::Environment{});
  sleep_s(1.5);
  const Load load = measure(player.pid(), server, seconds);
  std::printf("cpu_pct=%.2f wakeups_per_s=%.1f server_pct=%.2f\n", load.cpu_pct, load.wakeups_per_s,
              load.server_pct);
  return 0;
}

// For scripts: the process's resident memory (KiB), threads and open files,
// as three numbers on one line.
int print_process(pid_t pid) {
  using wavorin::bench::status_number;
  std::printf("%lld %lld %lld\n", status_number(pid, "VmRSS"), status_number(pid, "Threads"),
              wavorin::bench::open_files(pid));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A FIFO reader that went away must not end the bench.
  signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "wavorin" && (args[3] == "native" || args[3] == "sdl")) {
    return run_wavorin(args[1], parse_pids(args[2]), args[3] == "native");
  }
  if (args.size() == 3 && args[0] == "answers") {
    return wavorin::bench::run_press_answers(args[1], parse_pids(args[2]));
  }
  if (args.size() == 2 && args[0] == "bare") return run_bare({args[1]}, "");
  if (args.size() == 3 && args[0] == "bare_dialog") {
    return run_bare({args[1], "--dialog", args[2]}, args[2]);
  }
  if (args.size() >= 4 && args[0] == "load") {
    return run_load(parse_pids(args[1]), std::stod(args[2]), {args.begin() + 3, args.end()});
  }
  if (args.size() == 2 && args[0] == "process") return print_process(std::stoi(args[1]));
  std::fprintf(stderr,
               "usage: wavorin_desktop_bench wavorin <program> <server pids> native|sdl\n"
               "       wavorin_desktop_bench answers <program> <server pids>\n"
               "       wavorin_desktop_bench bare <program>\n"
               "       wavorin_desktop_bench bare_dialog <program> <dialog folder>\n"
               "       wavorin_desktop_bench load <server pids> <seconds> <command> [args...]\n"
               "       wavorin_desktop_bench process <pid>\n");
  return 2;
}
