// Wiring only: the command line and the display are checked first; then the
// Qt window host, the sound service (a module loaded when first needed), the
// settings store and the file dialog are handed to the program's one window;
// around them the translations, the screen reader's view, the media controls
// and the messages.
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>

#include "app/form1.h"
#include "app/layout.h"
#include "platform/qt/desktop/accessible_form.h"
#include "platform/qt/desktop/desktop_notifier.h"
#include "platform/qt/desktop/media_policy.h"
#include "platform/qt/desktop/message_balloon.h"
#include "platform/qt/desktop/mpris_service.h"
#include "platform/qt/desktop/problem_messages.h"
#include "platform/qt/files/qt_common_dialog.h"
#include "platform/qt/files/qt_settings_store.h"
#include "platform/qt/startup/after_first_paint.h"
#include "platform/qt/startup/command_line.h"
#include "platform/qt/startup/desktop_identity.h"
#include "platform/qt/startup/display_check.h"
#include "platform/qt/startup/qpa_choice.h"
#include "platform/qt/window/qt_window_host.h"
#include "platform/qt/window/when_reached_for.h"
#include "platform/sound_module/loaded_sound_service.h"
#include "platform/sound_module/module_entry.h"

int main(int argc, char* argv[]) {
  // A display or sound server that closes its connection while the program
  // writes to it is an error the program reports ("no display", a sound
  // problem), not a signal that ends it on the spot.
  std::signal(SIGPIPE, SIG_IGN);
  const wavorin::CommandLine command_line(argc, argv, std::cout, std::cerr);
  if (command_line.exit_status()) return *command_line.exit_status();
  if (!wavorin::display_reachable()) {
    wavorin::report_no_display(std::cerr);
    return 1;
  }
  wavorin::choose_platform(wavorin::x_server_reachable(), wavorin::wayland_reachable());
  auto display_failure = std::make_unique<wavorin::DisplayFailureExit>();
  QApplication qt_app(argc, argv);
  display_failure.reset();
  wavorin::present_to_desktop();
  QTranslator translator;
  if (translator.load(QLocale(), QStringLiteral("wavorin"), QStringLiteral("_"),
                      QStringLiteral(":/i18n")))
    QApplication::installTranslator(&translator);
  // Qt's own texts, such as the Open dialog's buttons and labels, from the
  // translations Qt installs (qt6-translations-l10n on Debian).
  QTranslator qt_translator;
  if (qt_translator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qt_translator);
  QAccessible::installFactory(wavorin::accessible_form_factory);
  wavorin::QtWindowHost host(wavorin::layout::form1_description());
  wavorin::MediaPolicy media(host);
  // Before the sound service, whose threads may still report while it ends.
  wavorin::MessageBalloon balloon(host.widget(), wavorin::layout::kButtonTop);
  wavorin::LoadedSoundService sound(QFile::encodeName(QCoreApplication::applicationDirPath() +
                                                      QLatin1Char('/') +
                                                      QLatin1String(wavorin::kSoundModuleFile))
                                        .toStdString());
  sound.set_reporter([&balloon](const wavorin::SoundReport& report) {
    // Only a sound the user chose: the click and the animation's probe
    // are the program's own.
    if (report.problem == wavorin::SoundProblem::FileUnplayable &&
        (report.flags & wavorin::SND_ASYNC) == 0)
      return;
    QMetaObject::invokeMethod(
        &balloon,
        [&balloon, text = wavorin::sound_problem_text(report)] { balloon.show_message(text); },
        Qt::QueuedConnection);
  });
  const wavorin::DesktopNotifier notifier;
  wavorin::QtSettingsStore settings;
  settings.set_failure_listener([&notifier](const std::string& file, wavorin::SaveFailure why) {
    notifier.notify(wavorin::settings_not_saved_summary(),
                    wavorin::settings_not_saved_text(QFile::decodeName(file.c_str()), why));
  });
  wavorin::QtCommonDialog dialog(host.dialog_settings(), host.widget());
  wavorin::Form1 form(host, sound, settings, dialog);
  // The media controls and the window icon come once the window is on the
  // screen: neither is needed for its first picture.
  std::optional<wavorin::MprisService> media_controls;
  const auto tell_media_controls = [&] {
    if (media_controls)
      media_controls->update(host.timer_enabled(), form.module().wav_file, host.sound_starts());
  };
  host.set_state_listener(tell_media_controls);
  if (!command_line.file().empty()) host.play_at_start(command_line.file());
  // The sound system starts when the window is first reached for (a request
  // that comes first starts it itself): a window nobody uses never loads it.
  // Each press opens the device again if it was closed, so the click at the
  // release finds it ready.
  const wavorin::WhenReachedFor warm_sound(host.widget(), [&sound] { sound.warm_up(); });
  const wavorin::AfterFirstPaint after_first_paint(host.widget(), [&] {
    wavorin::show_window_icon();
    media_controls.emplace(wavorin::MediaActions{
                               [&media] { media.press(wavorin::SoundRole::Starts); },
                               [&media] { media.press(wavorin::SoundRole::Stops); },
                               [&media] { media.play_pause(); },
                               [&host] {
                                 host.widget()->raise();
                                 host.widget()->activateWindow();
                               },
                               [&host] { host.press(wavorin::Element::b_cls); },
                               [&host](const std::string& file) { host.play_file(file); },
                               [&host] { return host.can_press(); },
                           },
                           [&sound](const std::string& file) -> std::optional<qint64> {
                             return sound.length_us(file);
                           });
    tell_media_controls();
  });
  const int status = host.run(form);
  // Close's saves reach the disk together, once the program has ended.
  settings.commit();
  return status;
}
