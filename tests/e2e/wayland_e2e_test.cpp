// The real program as a native Wayland client, on a headless weston started
// by the test: the desktop shows through outside the cabinet's outline.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

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
  int wrong = 0;
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      if (screen.pixel(origin + QPoint(x, y)) !=
          (inside_outline_at(x, y, scale) ? skin.pixel(x, y) : kDesktop))
        ++wrong;
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, NativeWayland, ::testing::Values(1, 2),
                         [](const auto& info) { return "x" + std::to_string(info.param); });

}  // namespace
}  // namespace wavorin::e2e
