// Wiring only: the command line and the display are checked first; then the
// Qt window host, the SDL sound service, the settings store and the file
// dialog are handed to the program's one window.
#include <QApplication>
#include <iostream>

#include "app/form1.h"
#include "app/layout.h"
#include "platform/qt/command_line.h"
#include "platform/qt/desktop_identity.h"
#include "platform/qt/display_check.h"
#include "platform/qt/qpa_choice.h"
#include "platform/qt/qt_common_dialog.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_window_host.h"
#include "platform/sound/sdl_sound_out.h"

int main(int argc, char* argv[]) {
  const wavorin::CommandLine command_line(argc, argv, std::cout, std::cerr);
  if (command_line.exit_status()) return *command_line.exit_status();
  if (!wavorin::display_reachable()) {
    wavorin::report_no_display(std::cerr);
    return 1;
  }
  wavorin::choose_x11_platform();
  QApplication qt_app(argc, argv);
  wavorin::present_to_desktop();
  wavorin::QtWindowHost host(wavorin::layout::form1_description());
  wavorin::SdlSoundOut sound;
  wavorin::QtSettingsStore settings;
  wavorin::QtCommonDialog dialog(host.dialog_settings(), host.widget());
  wavorin::Form1 form(host, sound, settings, dialog);
  if (!command_line.file().empty()) host.play_at_start(command_line.file());
  return host.run(form);
}
