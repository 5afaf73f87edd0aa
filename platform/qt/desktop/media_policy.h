#pragma once

#include <string>

#include "platform/window_description.h"

namespace wavorin {

class QtWindowHost;

// Which of the window's push buttons the desktop's media keys and controls
// press: every one goes through the same gate as a click, so a control runs
// the same handler as the mouse would.
class MediaPolicy {
 public:
  // Takes the window's Play/Pause and Pause keys; lives as long as `host`.
  explicit MediaPolicy(QtWindowHost& host);

  // Presses the push button of that role; nothing for SoundRole::None.
  void press(SoundRole role);
  // The button that stops the sound while the animation runs (a sound
  // plays), otherwise the one that starts it.
  void play_pause();
  // The button that stops the sound while one plays; nothing otherwise.
  void pause();

 private:
  QtWindowHost& host_;
};

}  // namespace wavorin
