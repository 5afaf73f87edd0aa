#include "platform/qt/desktop/media_policy.h"

#include "platform/qt/window/form_widget.h"
#include "platform/qt/window/qt_window_host.h"

namespace wavorin {

MediaPolicy::MediaPolicy(QtWindowHost& host) : host_(host) {
  FormWidget& widget = host_.form_widget();
  QObject::connect(&widget, &FormWidget::play_pause_requested, &widget, [this] { play_pause(); });
  QObject::connect(&widget, &FormWidget::pause_requested, &widget, [this] { pause(); });
}

void MediaPolicy::press(SoundRole role) {
  if (role == SoundRole::None) return;
  for (const PushButtonDescription& button : host_.form_widget().buttons())
    if (button.sound_role == role) {
      host_.press(button.element);
      return;
    }
}

void MediaPolicy::play_pause() {
  press(host_.timer_enabled() ? SoundRole::Stops : SoundRole::Starts);
}

void MediaPolicy::pause() {
  if (host_.timer_enabled()) press(SoundRole::Stops);
}

}  // namespace wavorin
