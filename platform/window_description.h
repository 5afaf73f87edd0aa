#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/form_events.h"

namespace wavorin {

// The window and its controls as data: what the host builds before the load
// event. Rectangles are twips, as stored; the host converts with the screen's
// twips-per-pixel factor.

enum class ControlKind { Timer, PictureBox, FileDialog, Image };

// Every element of the window, in the order the controls are stored and created.
enum class Element {
  Form1,
  Timer1,
  ani_p,
  CommonDialog1,
  p_cls,
  p_opn,
  p_stp,
  p_ply,
  b_cls,
  b_opn,
  b_stp,
  b_ply,
};

struct TwipRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

struct ControlDescription {
  Element element;
  const char* name;
  ControlKind kind;
  TwipRect stored;       // twips; timers and dialogs have no run-time rectangle
  bool visible;          // images and picture boxes
  std::string picture;   // resource path of the picture, empty for none
  std::string tool_tip;  // UTF-8, empty for none
  int interval_ms = 0;   // timers: tick interval
  bool enabled = false;  // timers: ticking at start
};

// A key that presses a push button: a letter from 'A' to 'Z', alone or with
// Ctrl. A letter of 0 is no key.
struct ButtonKey {
  char letter = 0;
  bool control = false;
};

// What a push button does to the sound, for the keyboard's media keys and the
// desktop's media controls: Play and Play/Pause press the button that starts
// it while none plays; Stop, Pause, and Play/Pause while one plays, press the
// button that stops it.
enum class SoundRole { None, Starts, Stops };

// An Image that is a push button: it takes clicks, the keyboard's focus and
// its keys, and a screen reader presents it.
struct PushButtonDescription {
  Element element;
  // English; the host translates it under kButtonNameContext. Marked for the
  // translators' catalogue with WAVORIN_TRANSLATABLE.
  const char* accessible_name;
  // The first is the shortcut a screen reader announces.
  std::array<ButtonKey, 2> keys;
  SoundRole sound_role;
  void (FormEvents::*click)();  // the handler a press raises
};

inline constexpr const char* kButtonNameContext = "wavorin::AccessibleButton";

// Marks a text for the translators' catalogue: lupdate reads it as
// QT_TRANSLATE_NOOP. The context must be kButtonNameContext's text.
#define WAVORIN_TRANSLATABLE(context, text) text

struct FileDialogSettings {
  std::string title;        // UTF-8
  std::string filter;       // "description|pattern", as the dialog control stores it
  std::string file_name;    // initial file name
  std::string default_ext;  // without the dot
  std::string init_dir;     // empty as stored
};

struct WindowDescription {
  std::string title;           // never drawn; the task switcher shows it
  int stored_inside_width_px;  // inside size as stored, pixels
  int stored_inside_height_px;
  std::string background;                      // resource path of the skin
  std::vector<ControlDescription> controls;    // stored order
  std::vector<PushButtonDescription> buttons;  // the keyboard's tab order
  FileDialogSettings dialog;
};

}  // namespace wavorin
