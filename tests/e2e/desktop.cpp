#include "tests/e2e/desktop.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace wavorin::e2e {

QString Desktop::run(const QString& program, const QStringList& args, bool may_fail) {
  QProcess p;
  p.start(program, args);
  const bool finished = p.waitForFinished(30000);
  EXPECT_TRUE(finished) << program.toStdString() << " did not finish";
  if (!may_fail && (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)) {
    ADD_FAILURE() << program.toStdString() << " " << args.join(' ').toStdString()
                  << " failed: " << p.readAllStandardError().toStdString();
  }
  return QString::fromLocal8Bit(p.readAllStandardOutput());
}

namespace {
std::function<QImage()>& screenshot_source() {
  static std::function<QImage()> source;
  return source;
}
}  // namespace

void Desktop::set_screenshot_source(std::function<QImage()> source) {
  screenshot_source() = std::move(source);
}

QImage Desktop::screenshot() {
  if (screenshot_source()) return screenshot_source()();
  QProcess p;
  p.start("import", {"-silent", "-window", "root", "png:-"});
  p.waitForFinished(30000);
  QImage image;
  image.loadFromData(p.readAllStandardOutput(), "PNG");
  EXPECT_FALSE(image.isNull()) << "no screenshot";
  return image.convertToFormat(QImage::Format_RGB32);
}

void Desktop::set_root_colour(const QString& colour) { run("xsetroot", {"-solid", colour}); }

QPoint Desktop::pointer() {
  const QString out = run("xdotool", {"getmouselocation", "--shell"});
  const auto x = QRegularExpression("X=(-?\\d+)").match(out).captured(1).toInt();
  const auto y = QRegularExpression("Y=(-?\\d+)").match(out).captured(1).toInt();
  return {x, y};
}

void Desktop::move_pointer(QPoint to) {
  run("xdotool", {"mousemove", QString::number(to.x()), QString::number(to.y())});
}

void Desktop::button_down(int button) { run("xdotool", {"mousedown", QString::number(button)}); }

void Desktop::button_up(int button) { run("xdotool", {"mouseup", QString::number(button)}); }

void Desktop::click(QPoint at, int button) {
  move_pointer(at);
  run("xdotool", {"click", QString::number(button)});
}

void Desktop::key(const QString& keys) { run("xdotool", {"key", "--delay", "50", keys}); }

void Desktop::type(const QString& text) { run("xdotool", {"type", "--delay", "20", text}); }

QRect Desktop::window_rect(const QString& window_id) {
  const QString out = run("xdotool", {"getwindowgeometry", "--shell", window_id});
  auto field = [&](const char* name) {
    return QRegularExpression(QString("%1=(-?\\d+)").arg(name)).match(out).captured(1).toInt();
  };
  return {field("X"), field("Y"), field("WIDTH"), field("HEIGHT")};
}

QString Desktop::find_window(const QString& name_regex, qint64 pid, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeout_ms) {
    const QString out = run("xdotool",
                            {"search", "--all", "--onlyvisible", "--pid", QString::number(pid),
                             "--name", name_regex},
                            true)
                            .trimmed();
    if (!out.isEmpty()) return out.split('\n').last();
    QThread::msleep(100);
  }
  return {};
}

bool Desktop::wait_until_hidden(const QString& window_id, int timeout_ms) {
  return wait_until(
      [&] {
        return !run("xwininfo", {"-id", window_id}, true).contains("IsViewable");
      },
      timeout_ms);
}

int Desktop::wait_until_steady(const std::function<int()>& value, int span_ms, int timeout_ms) {
  int last = value();
  QElapsedTimer since;
  since.start();
  const bool steady = wait_until(
      [&] {
        const int now = value();
        if (now != last) since.restart();
        last = now;
        return since.elapsed() >= span_ms;
      },
      timeout_ms);
  return steady ? last : -1;
}

bool Desktop::wait_until(const std::function<bool()>& condition, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() >= timeout_ms) return false;
    QThread::msleep(20);
  }
  return true;
}

QImage Desktop::wait_for_screen(const std::function<bool(const QImage&)>& condition,
                                int timeout_ms) {
  QImage shot;
  wait_until(
      [&] {
        shot = screenshot();
        return condition(shot);
      },
      timeout_ms);
  return shot;
}

QString Desktop::active_window() {
  const QString said = run("xprop", {"-root", "_NET_ACTIVE_WINDOW"}, true);
  const QRegularExpressionMatch id =
      QRegularExpression(QStringLiteral("# (0x[0-9a-f]+)")).match(said);
  bool ok = false;
  const qulonglong value = id.hasMatch() ? id.captured(1).toULongLong(&ok, 16) : 0;
  return ok ? QString::number(value) : QString();
}

QImage Desktop::wait_until_still(int timeout_ms) {
  QImage last = screenshot();
  return wait_for_screen(
      [&](const QImage& shot) {
        const bool same = shot == last;
        last = shot;
        return same;
      },
      timeout_ms);
}

SessionBus::SessionBus() : saved_(qgetenv("DBUS_SESSION_BUS_ADDRESS")) {
  daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  if (!daemon_.waitForStarted(5000)) return;
  QElapsedTimer clock;
  clock.start();
  while (address_.isEmpty() && clock.elapsed() < 5000) {
    daemon_.waitForReadyRead(200);
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  if (!address_.isEmpty()) qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
}

SessionBus::~SessionBus() {
  if (saved_.isEmpty()) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  } else {
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved_);
  }
  daemon_.terminate();
  daemon_.waitForFinished(3000);
}

}  // namespace wavorin::e2e
