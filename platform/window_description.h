#pragma once

#include <string>
#include <vector>

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
  std::string background;                    // resource path of the skin
  std::vector<ControlDescription> controls;  // stored order
  FileDialogSettings dialog;
};

}  // namespace wavorin
