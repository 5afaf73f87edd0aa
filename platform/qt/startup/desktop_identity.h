#pragma once

namespace wavorin {

// Names the program to the desktop: the application id, so that docks and
// task switchers match its windows to the desktop entry (the app id on
// Wayland). Call once the QApplication exists, before any window.
void present_to_desktop();

// The jukebox icon on every window (_NET_WM_ICON on X11). Decoding and
// sending it costs the first paint a few ms, and the window manager follows
// a later change, so it comes once the window is on the screen.
void show_window_icon();

}  // namespace wavorin
