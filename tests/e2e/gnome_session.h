#pragma once

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace wavorin::e2e {

// GNOME's Wayland session for a test: gnome-shell headless with its
// XWayland, beside a bus for the system services it asks for and PipeWire
// for its screen casts, all in the private runtime folder it is given, and
// driven from outside through gnome_shell.py. While it lives the test's
// DISPLAY and XAUTHORITY name its XWayland.
class GnomeSession {
 public:
  explicit GnomeSession(const QString& runtime) : runtime_(runtime) {}
  ~GnomeSession();
  GnomeSession(const GnomeSession&) = delete;
  GnomeSession& operator=(const GnomeSession&) = delete;

  static QStringList programs() { return {"gnome-shell", "Xwayland", "pipewire", "dbus-daemon"}; }

  // Starts it; returns what did not come up, or an empty text.
  QString start();
  // Runs gnome_shell.py with `args`; returns its exit status, -1 if it did
  // not finish.
  int helper(const QStringList& args) const;
  // What the shell shows on its monitor; null when it took none.
  QImage screenshot() const;

 private:
  bool start(const QString& program, const QStringList& args, const QProcessEnvironment& env);

  QDir runtime_;
  // Started in this order, stopped in the reverse.
  std::vector<std::unique_ptr<QProcess>> processes_;
  QByteArray saved_xauthority_;
  bool xauthority_set_ = false;
};

}  // namespace wavorin::e2e
