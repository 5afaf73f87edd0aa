#pragma once

#include <ostream>

namespace wavorin {

// Whether the window system the toolkit will pick can be reached: an X
// server through DISPLAY, or a Wayland compositor's socket. Without either
// the toolkit would abort with advice to reinstall; the program says what is
// wrong instead. Call before the QApplication exists.
bool display_reachable();

// One line on `err` saying that no display was found.
void report_no_display(std::ostream& err);

}  // namespace wavorin
