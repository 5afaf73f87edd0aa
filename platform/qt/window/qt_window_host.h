#pragma once

#include <QImage>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "platform/form_events.h"
#include "platform/qt/drawing/region_table.h"
#include "platform/qt/window/error_report.h"
#include "platform/qt/window/form_pictures.h"
#include "platform/qt/window/form_scene.h"
#include "platform/qt/window/handler_gate.h"
#include "platform/qt/window/outline_cutter.h"
#include "platform/qt/window/window_metrics.h"
#include "platform/window_description.h"
#include "platform/window_host.h"

class QWidget;

namespace wavorin {

class FormWidget;

// The window runtime on Qt Widgets: builds the window from its description,
// raises the program's handlers one at a time and carries out their drawing
// and region calls; the pictures and the cutting of the outline are rooms of
// their own. Needs a QApplication.
class QtWindowHost : public WindowHost {
 public:
  explicit QtWindowHost(const WindowDescription& description, ErrorReport report = {});
  ~QtWindowHost() override;
  QtWindowHost(const QtWindowHost&) = delete;
  QtWindowHost& operator=(const QtWindowHost&) = delete;

  // Raises Form_Load, shows the window unless the load ended the program, and
  // runs the event loop. Returns the exit status: 0 after End(), 1 after a
  // run-time error.
  int run(FormEvents& events);

  // A file to choose and play once the window is up, as a drop would.
  void play_at_start(const std::string& path) { start_file_ = path; }

  QWidget* widget();
  FormWidget& form_widget() { return *widget_; }
  const FileDialogSettings& dialog_settings() const { return description_.dialog; }

  float Left() const override;
  void set_Left(float twips) override;
  float Top() const override;
  void set_Top(float twips) override;
  float Width() const override;
  void set_Width(float twips) override;
  float Height() const override;
  void set_Height(float twips) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  Handle hWnd() const override;

  Handle hDC(Element element) const override;
  void Refresh(Element element) override;
  void Move(Element element, float left, float top, float width, float height) override;
  void set_Visible(Element element, bool visible) override;
  void set_Timer1_Enabled(bool enabled) override;

  float TwipsPerPixelX() const override;
  float TwipsPerPixelY() const override;
  std::vector<TwipRect> Screens() const override;
  TwipRect PrimaryWorkArea() const override;

  std::string App_Path() const override;
  void End() override;

  Handle CreateEllipticRgn(int left, int top, int right, int bottom) override;
  Handle CreateRectRgn(int left, int top, int right, int bottom) override;
  int CombineRgn(Handle dest, Handle src1, Handle src2, int mode) override;
  int SetWindowRgn(Handle hwnd, Handle rgn, bool redraw) override;
  bool DeleteObject(Handle object) override;
  bool BitBlt(Handle dest, int x, int y, int width, int height, Handle src, int src_x, int src_y,
              std::uint32_t rop) override;
  bool ReleaseCapture() override;
  std::intptr_t SendMessageA(Handle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                             std::intptr_t lparam) override;

  bool timer_enabled() const { return timer_.isActive(); }

  // Raises the click handler of a push button, as a click does; nothing for
  // another element.
  void press(Element button);
  // Plays a file as a drop does.
  void play_file(const std::string& path) { raise_play_file(path); }
  // Whether a press would run now: not while a handler waits (the Open
  // dialog is up) nor after the program has ended.
  bool can_press() const { return !gate_.busy() && !gate_.closed(); }
  // How many sounds the program has started: the button that starts the
  // sound and a played file count,
  // once their handler has run.
  int sound_starts() const { return sound_starts_; }
  // Called after every handler the host raised, and when the program ends:
  // for watchers of the playing state and the current sound.
  void set_state_listener(std::function<void()> listener) { state_listener_ = std::move(listener); }
  bool ended() const { return gate_.closed(); }

  // Draws the window for another device pixel ratio: pictures, outline and
  // what the program has copied onto the window so far, the shown animation
  // frame included. The window calls it itself when its screen's ratio
  // changes.
  void use_device_ratio(double ratio);
  double device_ratio() const { return pictures_.ratio(); }

 private:
  // A fixed handle, far below the region range.
  static constexpr Handle kWindowHandle = 0x00010001;

  void build_controls();
  // Returns whether the handler ran; one that ran and starts a sound is
  // counted before the state listener hears of it.
  bool raise(void (FormEvents::*handler)(), bool starts_sound = false);
  const PushButtonDescription* push_button(Element element) const;
  void raise_play_file(const std::string& path);
  void fail(const std::string& report);
  void stop(int status);

  WindowDescription description_;
  ErrorReport report_;
  // The program's folder, fixed for the run: asked for on every click and tick.
  std::string app_path_;
  FormScene scene_;
  std::unique_ptr<FormWidget> widget_;
  WindowMetrics metrics_;
  FormPictures pictures_;
  OutlineCutter outline_;
  QTimer timer_;
  RegionTable regions_;
  HandlerGate gate_;
  FormEvents* events_ = nullptr;
  std::string start_file_;
  std::function<void()> state_listener_;
  int sound_starts_ = 0;
  int exit_status_ = 0;
  bool running_ = false;  // inside QApplication::exec()
};

}  // namespace wavorin
