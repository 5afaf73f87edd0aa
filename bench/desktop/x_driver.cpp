#include "bench/desktop/x_driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <thread>

namespace wavorin::bench {

XDriver::XDriver() : display_(XOpenDisplay(nullptr)) {
  if (display_ == nullptr) throw std::runtime_error("no X display");
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, True);
}

XDriver::~XDriver() { XCloseDisplay(display_); }

XDriver::Clock::time_point XDriver::start_and_wait_painted(const std::function<void()>& start,
                                                           int probe_x, int probe_y,
                                                           std::chrono::milliseconds timeout,
                                                           Window& window) {
  XSync(display_, True);  // forget earlier events
  start();
  const auto until = Clock::now() + timeout;
  window = Window{};
  while (window.id == 0 && Clock::now() < until) {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect && window.id == 0) {
        window.id = event.xmap.window;
      }
    }
    if (window.id == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  if (window.id == 0) return {};
  ::Window root = 0;
  ::Window child = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  XGetGeometry(display_, window.id, &root, &window.x, &window.y, &width, &height, &border, &depth);
  XTranslateCoordinates(display_, window.id, root, 0, 0, &window.x, &window.y, &child);
  window.width = static_cast<int>(width);
  window.height = static_cast<int>(height);
  while (Clock::now() < until) {
    // The root's pixels: what is on the screen, not what the window holds.
    XImage* image =
        XGetImage(display_, root, window.x + probe_x, window.y + probe_y, 1, 1, AllPlanes, ZPixmap);
    const auto seen = Clock::now();
    const unsigned long pixel = image != nullptr ? XGetPixel(image, 0, 0) : 0;
    if (image != nullptr) XDestroyImage(image);
    if ((pixel & 0xFFFFFF) != 0) return seen;
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  return {};
}

void XDriver::move_pointer(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, 0);
  XSync(display_, False);
}

void XDriver::press(const Window& window, int x, int y) {
  XTestFakeMotionEvent(display_, -1, window.x + x, window.y + y, 0);
  XTestFakeButtonEvent(display_, 1, True, 0);
  XSync(display_, False);
}

XDriver::Clock::time_point XDriver::release() {
  const auto at = Clock::now();
  XTestFakeButtonEvent(display_, 1, False, 0);
  XFlush(display_);
  return at;
}

void XDriver::key(const char* name) {
  const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(name));
  XTestFakeKeyEvent(display_, code, True, 0);
  XTestFakeKeyEvent(display_, code, False, 0);
  XSync(display_, False);
}

}  // namespace wavorin::bench
