#include "bench/desktop/x_driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <thread>

namespace wavorin::bench {

XDriver::XDriver() : display_(XOpenDisplay(nullptr)) {
  if (display_ == nullptr) throw std::runtime_error("no X display");
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask | StructureNotifyMask);
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

XDriver::Clock::time_point XDriver::answered(const Window& window,
                                             std::chrono::milliseconds timeout) {
  const ::Window root = DefaultRootWindow(display_);
  const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
  const Atom ping = XInternAtom(display_, "_NET_WM_PING", False);
  static long serial = 0;
  const long stamp = ++serial;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window.id;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(ping);
  event.xclient.data.l[1] = stamp;  // in place of a timestamp: matched on the way back
  event.xclient.data.l[2] = static_cast<long>(window.id);
  XSendEvent(display_, window.id, False, NoEventMask, &event);
  XFlush(display_);
  const auto until = Clock::now() + timeout;
  while (Clock::now() < until) {
    while (XPending(display_) > 0) {
      XEvent reply;
      XNextEvent(display_, &reply);
      if (reply.type == ClientMessage && reply.xclient.window == root &&
          static_cast<Atom>(reply.xclient.data.l[0]) == ping && reply.xclient.data.l[1] == stamp) {
        return Clock::now();
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return {};
}

}  // namespace wavorin::bench
