#pragma once

namespace wavorin {

// Picks the X11 platform plugin when an X display is available and the user
// has not chosen one. Only there can the window be placed where it was last
// time and cut to its shape (on Wayland desktops this means XWayland). Call
// before the QApplication exists.
void choose_x11_platform();

}  // namespace wavorin
