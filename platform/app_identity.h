#pragma once

namespace wavorin {

// One name for the program everywhere the desktop sees it: the desktop entry's
// file name, the metainfo, the icon, the window's app id (WM_CLASS on X11) and
// the media-player service.
inline constexpr const char* kApplicationId = "org.wavorin.Wavorin";
inline constexpr const char* kApplicationName = "Wavorin";

}  // namespace wavorin
