// Helper of the settings tests: saves Close's three settings over and over,
// each round with a new number, committing after each round, until killed;
// or, with "once", one save that fills a small disk.
// Once the first round is on disk, says "ready" and how long the round took
// in microseconds.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <iostream>
#include <string>

#include "platform/qt/files/qt_settings_store.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // A long folder name makes every write slow, so kills land inside one too.
  const std::string padding(std::size_t{256} * 1024, 'p');
  wavorin::QtSettingsStore store;
  // With "once": one save of a long Path for "Full", then why it failed.
  if (argc > 1 && std::string(argv[1]) == "once") {
    store.set_failure_listener([](const std::string&, wavorin::SaveFailure why) {
      std::cout << static_cast<int>(why) << std::endl;
    });
    store.SaveSetting("Full", "Option", "Path", padding);
    store.commit();
    return 0;
  }
  QElapsedTimer clock;
  clock.start();
  for (long round = 1;; ++round) {
    const std::string n = std::to_string(round);
    store.SaveSetting("Killed", "Option", "MAIN WINDOW X", n);
    store.SaveSetting("Killed", "Option", "MAIN WINDOW Y", n);
    std::string path = "/music/" + n + "/";
    path += padding;
    store.SaveSetting("Killed", "Option", "Path", path);
    store.commit();
    if (round == 1) std::cout << "ready " << clock.nsecsElapsed() / 1000 << std::endl;
  }
}
