#pragma once

namespace wavorin {

// Picks the platform plugin when the user has not chosen one: X11 where
// DISPLAY names a live X server, since only there can the window be placed
// where it was last time (on Wayland desktops this means XWayland);
// otherwise a native Wayland client where a compositor answers. With
// neither, nothing is chosen. Call before the QApplication exists.
void choose_platform(bool x_server_live, bool wayland_live);

// Whether the program runs as a native Wayland client: it neither knows nor
// chooses where its window is, and asks the compositor to move it. Call once
// the QGuiApplication exists.
bool on_wayland();

}  // namespace wavorin
