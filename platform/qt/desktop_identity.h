#pragma once

namespace wavorin {

// Names the program to the desktop: the application id, so that docks and
// task switchers match its windows to the desktop entry (the app id on
// Wayland), and the jukebox icon on every window (_NET_WM_ICON on X11).
// Call once the QApplication exists.
void present_to_desktop();

}  // namespace wavorin
