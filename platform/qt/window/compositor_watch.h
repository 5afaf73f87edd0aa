#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>

namespace wavorin {

// Whether a compositing manager draws the desktop, and when that changes. On
// X11 one runs while the selection _NET_WM_CM_S<screen> has an owner; the
// X server tells when the owner comes or goes. A native Wayland client always
// has a compositor; other platforms (offscreen) never do.
class CompositorWatch : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  // Needs a QApplication.
  CompositorWatch();
  ~CompositorWatch() override;
  CompositorWatch(const CompositorWatch&) = delete;
  CompositorWatch& operator=(const CompositorWatch&) = delete;

  bool active() const { return active_; }
  // The X server is a Wayland compositor's XWayland. GNOME's (mutter 43) and
  // KDE's (kwin_wayland 5.27) take an X window's whole rectangle as the area
  // that takes the focus and raises it, whatever its input shape: there a
  // margin around the cabinet would take clicks meant for the window behind.
  bool on_xwayland() const { return on_xwayland_; }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 signals:
  void changed(bool active);

 private:
  bool active_ = false;
  bool on_xwayland_ = false;
  std::uint32_t selection_ = 0;        // the atom _NET_WM_CM_S<screen>, 0 when not watched
  std::uint8_t selection_notify_ = 0;  // XFixes' selection-notify event type
};

}  // namespace wavorin
