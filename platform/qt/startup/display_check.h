#pragma once

#include <ostream>

namespace wavorin {

// Whether the window system the toolkit will pick can be reached: an X
// server through DISPLAY, or a Wayland compositor's socket. Without either
// the toolkit would abort with advice to reinstall; the program says what is
// wrong instead. Call before the QApplication exists.
bool display_reachable();

// An X server answers at DISPLAY; a Wayland compositor answers at
// WAYLAND_DISPLAY ("wayland-0" when unset) in XDG_RUNTIME_DIR.
bool x_server_reachable();
bool wayland_reachable();

// One line on `err` saying that no display was found.
void report_no_display(std::ostream& err);

// Makes every line the toolkit prints begin "wavorin: ", from now to the end
// of the run. While it lives, a fatal message from the toolkit exits with
// status 1 instead of aborting, after one line saying what failed: "no
// display found" when the window system refused the connection (a server
// that answers its socket but refuses it), otherwise the toolkit's reason (a
// missing platform plugin). Lives around the QApplication's construction.
class DisplayFailureExit {
 public:
  DisplayFailureExit();
  ~DisplayFailureExit();
  DisplayFailureExit(const DisplayFailureExit&) = delete;
  DisplayFailureExit& operator=(const DisplayFailureExit&) = delete;
};

}  // namespace wavorin
