#pragma once

namespace wavorin {

// Sends every drawing request still queued for the window system, so what was
// just painted reaches the screen even if the program's thread blocks next.
// Nothing to do on platforms without a client-side queue.
void flush_window_system();

}  // namespace wavorin
