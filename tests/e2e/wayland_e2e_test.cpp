// The real program as a native Wayland client, on a headless weston started
// by the test: the desktop shows through outside the cabinet's outline, whose
// edge blends into it, and the stored position outlives the run.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <utility>

#include "tests/e2e/desktop.h"
#include "tests/e2e/e2e_fixture.h"

namespace wavorin::e2e {
namespace {

constexpr QRgb kDesktop = 0xff3366cc;

// A headless weston with its desktop shell, a plain desktop colour and the
// screenshooter open to clients (--debug), in a runtime folder of its own.
class Weston {
 public:
  // `scale`: device pixels of the output to a window pixel.
  bool start(int scale) {
    if (!runtime_.isValid()) return false;
    QFile::setPermissions(runtime_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile ini(runtime_.filePath("weston.ini"));
    if (!ini.open(QIODevice::WriteOnly)) return false;
    ini.write(
        "[core]\nidle-time=0\n[shell]\nbackground-color=0xff3366cc\npanel-position=none\n"
        "locking=false\nanimation=none\nstartup-animation=none\n");
    ini.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    weston_.setProcessEnvironment(env);
    weston_.setProcessChannelMode(QProcess::MergedChannels);
    weston_.start("weston",
                  {"--backend=headless-backend.so", "--use-pixman", "--width=800", "--height=700",
                   "--scale=" + QString::number(scale), "--shell=desktop-shell.so", "--debug",
                   "--socket=" + socket(), "--config=" + ini.fileName()});
    if (!weston_.waitForStarted(10000)) return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
      if (QFile::exists(runtime_.filePath(socket())) && screenshot().pixel(5, 5) == kDesktop)
        return true;
      QThread::msleep(100);
    }
    return false;
  }

  ~Weston() {
    weston_.terminate();
    if (!weston_.waitForFinished(5000)) weston_.kill();
  }

  QString socket() const { return QStringLiteral("wavorin-test"); }
  QString runtime() const { return runtime_.path(); }

  // The whole output, as weston's screenshooter writes it.
  QImage screenshot() const {
    QDir folder(runtime_.path());
    for (const QString& old : folder.entryList({"wayland-screenshot-*.png"})) folder.remove(old);
    QProcess shooter;
    shooter.setWorkingDirectory(runtime_.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("WAYLAND_DISPLAY", socket());
    shooter.setProcessEnvironment(env);
    shooter.start("weston-screenshooter", {});
    shooter.waitForFinished(10000);
    const QStringList shots = folder.entryList({"wayland-screenshot-*.png"});
    if (shots.isEmpty()) return {};
    return QImage(folder.filePath(shots.first())).convertToFormat(QImage::Format_RGB32);
  }

 private:
  QTemporaryDir runtime_;
  QProcess weston_;
};

// The smallest rectangle holding every pixel that is not the desktop.
QRect drawn_area(const QImage& screen) {
  QRect area;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x)
      if (screen.pixel(x, y) != kDesktop) area |= QRect(x, y, 1, 1);
  return area;
}

// Whether the outline wholly holds the box x0..x1, y0..y1 (window pixels):
// each of its pieces above, within and below the body lies in the disc (all
// corners) or in the body or a foot.
bool outline_holds(double x0, double y0, double x1, double y1) {
  const auto in_disc = [](double x, double y) {
    return (x - 113) * (x - 113) + (y - 113) * (y - 113) <= 113.0 * 113.0;
  };
  for (const auto& [top, bottom] : {std::pair{-1e9, 113.0}, {113.0, 327.0}, {327.0, 1e9}}) {
    const double a = std::max(y0, top), b = std::min(y1, bottom);
    if (b <= a) continue;
    const bool disc = in_disc(x0, a) && in_disc(x1, a) && in_disc(x0, b) && in_disc(x1, b);
    const bool body = a >= 113 && b <= 327 && x0 >= 0 && x1 <= 226;
    const bool foot = a >= 327 && b <= 332 && ((x0 >= 0 && x1 <= 25) || (x0 >= 201 && x1 <= 226));
    if (!disc && !body && !foot) return false;
  }
  return true;
}

// Whether the box and the outline do not meet at all.
bool outline_misses(double x0, double y0, double x1, double y1) {
  const double nx = std::clamp(113.0, x0, x1), ny = std::clamp(113.0, y0, y1);
  if ((nx - 113) * (nx - 113) + (ny - 113) * (ny - 113) < 113.0 * 113.0) return false;
  const auto meets = [&](double l, double t, double r, double b) {
    return x0 < r && l < x1 && y0 < b && t < y1;
  };
  return !meets(0, 113, 226, 327) && !meets(0, 327, 25, 332) && !meets(201, 327, 226, 332);
}

// Each channel of `shown` lies between those of `a` and `b` (one step of
// rounding allowed).
bool between(QRgb shown, QRgb a, QRgb b) {
  const auto within = [](int v, int p, int q) {
    return v >= std::min(p, q) - 1 && v <= std::max(p, q) + 1;
  };
  return within(qRed(shown), qRed(a), qRed(b)) && within(qGreen(shown), qGreen(a), qGreen(b)) &&
         within(qBlue(shown), qBlue(a), qBlue(b));
}

// On an output of scale 1 and of scale 2, where the 2x pictures are drawn.
class NativeWayland : public ::testing::TestWithParam<int> {};

TEST_P(NativeWayland, DesktopShowsThroughOutsideTheOutline) {
  if (QStandardPaths::findExecutable("weston").isEmpty() ||
      QStandardPaths::findExecutable("weston-screenshooter").isEmpty())
    GTEST_SKIP() << "needs weston (scripts/install-deps.sh --tests)";
  const int scale = GetParam();
  Weston weston;
  ASSERT_TRUE(weston.start(scale)) << "weston did not start";

  QTemporaryDir config;
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.insert("XDG_RUNTIME_DIR", weston.runtime());
  env.insert("WAYLAND_DISPLAY", weston.socket());
  env.insert("QT_QPA_PLATFORM", "wayland");
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("SDL_AUDIODRIVER", "disk");
  env.insert("SDL_DISKAUDIOFILE", config.filePath("out.raw"));
  program.setProcessEnvironment(env);
  program.start(WAVORIN_EXE, {});
  ASSERT_TRUE(program.waitForStarted(10000));

  QImage screen;
  QRect window;
  QElapsedTimer clock;
  clock.start();
  const QSize size = QSize(225, 332) * scale;
  while (clock.elapsed() < 10000 && window.size() != size) {
    screen = weston.screenshot();
    window = drawn_area(screen);
    QThread::msleep(100);
  }
  program.terminate();
  program.waitForFinished(5000);
  // Transparent outside the outline: what shows is exactly the cabinet.
  ASSERT_EQ(window.size(), size) << "the cabinet never showed whole";

  const QImage skin = asset(scale == 1 ? "skin.png" : "skin@2x.png");
  const QPoint origin = window.topLeft();
  const auto at = [&](int x, int y) { return origin + QPoint(x, y) * scale; };
  EXPECT_EQ(screen.pixel(at(5, 5)), kDesktop);
  EXPECT_EQ(screen.pixel(at(100, 330)), kDesktop);
  EXPECT_EQ(screen.pixel(at(112, 5)), skin.pixel(QPoint(112, 5) * scale));
  EXPECT_EQ(screen.pixel(at(10, 330)), skin.pixel(QPoint(10, 330) * scale));
  // Pixels the outline wholly holds show the skin, pixels wholly beside it
  // the desktop; the edge blends the two.
  int wrong = 0;
  int blended = 0;
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) {
      const QRgb shown = screen.pixel(origin + QPoint(x, y));
      const double x0 = x / double(scale), y0 = y / double(scale);
      const double x1 = (x + 1) / double(scale), y1 = (y + 1) / double(scale);
      if (outline_holds(x0, y0, x1, y1)) {
        wrong += shown != skin.pixel(x, y) ? 1 : 0;
      } else if (outline_misses(x0, y0, x1, y1)) {
        wrong += shown != kDesktop ? 1 : 0;
      } else {
        wrong += between(shown, skin.pixel(x, y), kDesktop) ? 0 : 1;
        blended += shown != skin.pixel(x, y) && shown != kDesktop ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(blended, 300 * scale) << "the edge is not blended";
}

INSTANTIATE_TEST_SUITE_P(Scales, NativeWayland, ::testing::Values(1, 2),
                         [](const auto& info) { return "x" + std::to_string(info.param); });

// DISPLAY names an X server that has gone; the compositor answers, so the
// program comes up as its native client. There it cannot know where its
// window is: Close keeps the stored position (one beyond every screen,
// which an X11 run would bring back) and still saves the folder.
TEST(NativeWaylandRun, StartsWithoutXAndClosesWithTheStoredPositionUnchanged) {
  if (QStandardPaths::findExecutable("weston").isEmpty() ||
      QStandardPaths::findExecutable("dbus-send").isEmpty())
    GTEST_SKIP() << "needs weston and dbus (scripts/install-deps.sh --tests)";
  Weston weston;
  ASSERT_TRUE(weston.start(1)) << "weston did not start";
  const SessionBus bus;  // the media controls' Quit presses Close
  ASSERT_TRUE(bus.up());

  QTemporaryDir config;
  const QString ini = config.filePath("Wavorin/Wavorin.ini");
  {
    QSettings stored(ini, QSettings::IniFormat);
    stored.setValue("Option/MAIN WINDOW X", "60000");
    stored.setValue("Option/MAIN WINDOW Y", "-1500");
  }
  QString dead_display;
  for (int n = 4000; dead_display.isEmpty(); ++n)
    if (!QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n))) dead_display = QString(":%1").arg(n);
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", dead_display);
  env.remove("QT_QPA_PLATFORM");
  env.insert("XDG_RUNTIME_DIR", weston.runtime());
  env.insert("WAYLAND_DISPLAY", weston.socket());
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("SDL_AUDIODRIVER", "disk");
  env.insert("SDL_DISKAUDIOFILE", config.filePath("out.raw"));
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::MergedChannels);
  program.start(WAVORIN_EXE, {});
  ASSERT_TRUE(program.waitForStarted(10000));
  QElapsedTimer clock;
  clock.start();
  while (program.state() != QProcess::NotRunning && clock.elapsed() < 15000) {
    QProcess::execute("dbus-send",
                      {"--session", "--type=method_call", "--dest=org.mpris.MediaPlayer2.wavorin",
                       "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Quit"});
    program.waitForFinished(300);
  }
  const QString output = QString::fromLocal8Bit(program.readAll());
  if (program.state() != QProcess::NotRunning) {
    program.kill();
    program.waitForFinished(5000);
    FAIL() << "Close was never pressed: " << output.toStdString();
  }
  EXPECT_EQ(program.exitCode(), 0) << output.toStdString();
  const QSettings saved(ini, QSettings::IniFormat);
  EXPECT_EQ(saved.value("Option/MAIN WINDOW X").toString().toStdString(), "60000");
  EXPECT_EQ(saved.value("Option/MAIN WINDOW Y").toString().toStdString(), "-1500");
  EXPECT_EQ(saved.value("Option/Path").toString().toStdString(),
            QFileInfo(WAVORIN_EXE).absolutePath().toStdString());
}

}  // namespace
}  // namespace wavorin::e2e
