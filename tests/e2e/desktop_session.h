#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "tests/e2e/desktop.h"
#include "tests/e2e/gnome_session.h"

namespace wavorin::e2e {

// The desktops a user of Debian 12 may run the program on.
enum class Shell {
  Openbox,           // a window manager alone, no compositor
  OpenboxPicom,      // openbox with picom drawing shadows, as Debian's sample configures it
  OpenboxPicomBare,  // openbox with picom shadowing every window (no exclusions)
  OpenboxXcompmgr,   // openbox with xcompmgr's client-side shadows
  Mutter,            // GNOME's window manager and compositor on X11
  KWinX11,           // KDE's window manager and compositor on X11
  KWinWayland,       // KDE's Wayland compositor; the program runs through its XWayland
  GnomeWayland,      // GNOME's Wayland session; the program runs through its XWayland
};

// One desktop of its own for a test, started headless and stopped when it
// goes: an X server (Xvfb, or kwin_wayland's XWayland), its window manager
// and compositor, a session bus and a runtime folder. While it lives the
// test's DISPLAY names its X server, so Desktop's helpers and every program
// the test starts meet it.
class DesktopSession {
 public:
  explicit DesktopSession(Shell shell);
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // Empty when everything came up; otherwise what did not.
  QString problem() const { return problem_; }
  // The programs this desktop needs that are not installed, or empty.
  static QString missing_programs(Shell shell);

  // What the screen shows, the compositor's output where one runs; also
  // what Desktop::screenshot() takes while the session lives.
  QImage screenshot() const;

  // The pointer as a person's mouse moves it: through the compositor where
  // it picks the window under the pointer (kwin_wayland, gnome-shell), else
  // through XTEST.
  void drag(QPoint from, QPoint by) const;
  void click(QPoint at) const;

 private:
  bool start_x_server();
  bool start(std::unique_ptr<QProcess>& process, const QString& program, const QStringList& args,
             const QProcessEnvironment& env);
  bool start_kwin();

  // Runs pointer commands (move X Y, down, up) in one go: kwin lets go of
  // a button when the client that pressed it leaves.
  void pointer(const QStringList& commands) const;

  Shell shell_;
  QTemporaryDir runtime_;
  QString problem_;
  QByteArray saved_display_;
  std::unique_ptr<SessionBus> bus_;
  std::unique_ptr<GnomeSession> gnome_;
  // Started in this order, stopped in the reverse.
  std::vector<std::unique_ptr<QProcess>> processes_;
};

}  // namespace wavorin::e2e
