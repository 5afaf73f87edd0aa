#pragma once

#include <QImage>
#include <QRect>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/form_events.h"
#include "platform/qt/blit_log.h"
#include "platform/qt/compositor_watch.h"
#include "platform/qt/error_report.h"
#include "platform/qt/form_scene.h"
#include "platform/qt/handler_gate.h"
#include "platform/qt/picture_set.h"
#include "platform/qt/region_table.h"
#include "platform/qt/window_metrics.h"
#include "platform/window_description.h"
#include "platform/window_host.h"

class QWidget;

namespace wavorin {

class FormWidget;

// The window runtime on Qt Widgets: builds the window from its description,
// raises the program's handlers one at a time and carries out its requests.
// Needs a QApplication.
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
  // Presses the push button of that role, as the desktop's media controls do.
  void press(SoundRole role);
  // The button that stops the sound while the animation runs (a sound
  // plays), otherwise the one that starts it, through the same gate as a
  // click.
  void play_pause();
  // The button that stops the sound while one plays; nothing otherwise.
  void pause();
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
  // Fixed handles, far below the region range.
  static constexpr Handle kWindowHandle = 0x00010001;
  static constexpr Handle kFormDc = 0x00020001;
  static constexpr Handle kPictureBoxDc = 0x00020002;

  void build_controls();
  // The pressed faces are decoded when first needed, or just after the
  // window is first shown, so start-up decodes only the skin. The strip, the
  // largest picture, waits until the animation first draws from it: a
  // session that plays nothing never holds it.
  void load_picture_of(Element element);
  void load_picture_box();
  void load_remaining_pictures();
  // Returns the device pixels written.
  QRect copy(const BlitRecord& blit);
  // Cuts the window and sets its alpha for the outline, the ratio and the
  // compositor as they are now.
  void apply_outline();
  // The same shapes once more, once the window manager has taken the
  // window: one that frames it (openbox) copies the input shape to its
  // frame only when told of a change after it began watching.
  void cut_native_window_again();
  // Returns whether the handler ran; one that ran and starts a sound is
  // counted before the state listener hears of it.
  bool raise(void (FormEvents::*handler)(), bool starts_sound = false);
  const PushButtonDescription* push_button(Element element) const;
  void raise_play_file(const std::string& path);
  void fail(const std::string& report);
  void stop(int status);
  QImage* surface(Handle dc);

  WindowDescription description_;
  ErrorReport report_;
  // The program's folder, fixed for the run: asked for on every click and tick.
  std::string app_path_;
  FormScene scene_;
  std::unique_ptr<FormWidget> widget_;
  WindowMetrics metrics_;
  PictureSet pictures_;
  std::map<Element, std::string> picture_paths_;
  QImage picture_box_;
  QRect picture_box_rect_;
  std::string picture_box_path_;
  BlitLog blits_;
  // How the window's outline was made, to cut it again at another ratio,
  // and its pixels as the program made them.
  std::optional<RegionShape> outline_;
  QRegion outline_pixels_;
  QImage coverage_;  // of the outline at coverage_ratio_; null: not worked out
  double coverage_ratio_ = 0;
  bool native_shape_ = false;               // the outline was last cut at device pixels
  std::optional<QRegion> native_bounding_;  // none: the whole window shows
  QRegion native_input_;
  // Where a compositor draws the desktop, the window blends its edge
  // through alpha instead of cutting it one bit deep.
  CompositorWatch compositor_;
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
