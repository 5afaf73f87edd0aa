#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace wavorin::bench {

// How long a press keeps the window from answering, in the states a sound
// server can be in (a tune playing, its sink suspended, the server stopped),
// and how soon after Stop the program lets the server's sink sleep. Prints
// one line of key=value figures; returns non-zero when the window never
// appeared.
int run_press_answers(const std::string& program, const std::vector<pid_t>& server);

}  // namespace wavorin::bench
