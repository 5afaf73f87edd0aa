#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

namespace wavorin::e2e {

// The test's X display, driven from outside as a person would: xdotool for
// the pointer, ImageMagick's import for the screen.
struct Desktop {
  // Runs a command and returns its standard output; fails the test on a
  // non-zero status unless `may_fail`.
  static QString run(const QString& program, const QStringList& args, bool may_fail = false);

  static QImage screenshot();
  // Where screenshots come from instead of the X server's root window (a
  // compositor that keeps its picture to itself); an empty one restores it.
  static void set_screenshot_source(std::function<QImage()> source);
  static void set_root_colour(const QString& colour);
  static QPoint pointer();
  static void move_pointer(QPoint to);
  static void button_down(int button);
  static void button_up(int button);
  static void click(QPoint at, int button = 1);
  static void key(const QString& keys);
  static void type(const QString& text);
  // Outer rectangles of the visible top-level windows whose name matches.
  static QRect window_rect(const QString& window_id);
  // The window that has the keyboard focus, as the window manager says
  // (_NET_ACTIVE_WINDOW), in xdotool's decimal; empty when none does.
  static QString active_window();
  static QString find_window(const QString& name_regex, qint64 pid, int timeout_ms = 10000);
  // Waits until the window is no longer shown (unmapped or gone); returns
  // false on timeout.
  static bool wait_until_hidden(const QString& window_id, int timeout_ms = 10000);
  // Polls `condition` until it holds or `timeout_ms` has passed; returns
  // whether it held.
  static bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000);
  // Takes screenshots until one satisfies `condition` or `timeout_ms` has
  // passed; returns the last one taken.
  static QImage wait_for_screen(const std::function<bool(const QImage&)>& condition,
                                int timeout_ms = 5000);
  // Reads `value` until it has kept one value for `span_ms` (the span in which
  // what goes on would change it); returns that value, or -1 when it kept
  // changing for `timeout_ms`.
  static int wait_until_steady(const std::function<int()>& value, int span_ms,
                               int timeout_ms = 5000);
  // Waits until two screenshots in a row are the same (the window system has
  // drawn everything it was asked to); returns the last one.
  static QImage wait_until_still(int timeout_ms = 5000);
};

// A private D-Bus session bus for the test and the programs it starts, so
// desktop services (accessibility, media controls, notifications) are met
// only on it. Puts the caller's bus address back when it goes.
class SessionBus {
 public:
  SessionBus();
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;
  bool up() const { return !address_.isEmpty(); }

 private:
  QProcess daemon_;
  QString address_;
  QByteArray saved_;
};

}  // namespace wavorin::e2e
