// Wiring only: the Qt window host, the SDL sound service, the settings store
// and the file dialog, handed to the program's one window.
#include <QApplication>

#include "app/form1.h"
#include "app/layout.h"
#include "platform/qt/qpa_choice.h"
#include "platform/qt/qt_common_dialog.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_window_host.h"
#include "platform/sound/sdl_sound_out.h"

int main(int argc, char* argv[]) {
  wavorin::choose_x11_platform();
  QApplication qt_app(argc, argv);
  wavorin::QtWindowHost host(wavorin::layout::form1_description());
  wavorin::SdlSoundOut sound;
  wavorin::QtSettingsStore settings;
  wavorin::QtCommonDialog dialog(host.dialog_settings(), host.widget());
  wavorin::Form1 form(host, sound, settings, dialog);
  const int status = host.run(form);
  // Close's saves reach the disk together, once the program has ended.
  settings.commit();
  return status;
}
