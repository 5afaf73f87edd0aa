#pragma once

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/layout.h"
#include "platform/common_dialog.h"
#include "platform/settings_store.h"
#include "platform/sound_out.h"
#include "platform/window_host.h"

namespace wavorin::testing {

// One log shared by every fake, so the order of calls across the window, the
// sound service and the dialog can be asserted directly.
using CallLog = std::vector<std::string>;

// A window host that records calls and models just enough of a window: its
// position and outer size in twips, a frame of fixed pixel thickness, the
// screens, where the controls were moved, the timer state, and regions that
// can be asked which pixels they hold.
class FakeWindowHost : public WindowHost {
 public:
  explicit FakeWindowHost(CallLog& log) : log_(log) {}

  float tpp_x = 15;
  float tpp_y = 15;
  float left = 0;
  float top = 0;
  int inside_w = 470;  // pixels
  int inside_h = 356;
  int frame_w = 0;  // frame thickness in pixels, both sides together
  int frame_h = 0;
  std::string app_path = "/opt/wavorin";
  std::vector<TwipRect> screens{{0, 0, 1920 * 15, 1080 * 15}};
  TwipRect work_area{0, 0, 1920 * 15, 1040 * 15};
  bool timer_enabled = false;
  bool ended = false;
  std::set<Handle> live_regions;
  std::map<Element, bool> visible;
  std::map<Element, TwipRect> placed;  // pixels, as the program moved them
  // Which pixels of the inside a region holds; empty when none was given.
  using Shape = std::function<bool(int x, int y)>;
  Shape window_shape;
  Handle window_region = 0;
  int region_faults = 0;  // calls on released or unknown regions, unknown modes

  bool inside_window_shape(int x, int y) const { return window_shape && window_shape(x, y); }

  float Left() const override { return left; }
  void set_Left(float twips) override {
    left = twips;
    log_.push_back("set_Left " + num(twips));
  }
  float Top() const override { return top; }
  void set_Top(float twips) override {
    top = twips;
    log_.push_back("set_Top " + num(twips));
  }
  float Width() const override { return static_cast<float>(inside_w + frame_w) * tpp_x; }
  void set_Width(float twips) override {
    inside_w = static_cast<int>(std::lround(twips / tpp_x)) - frame_w;
    log_.push_back("set_Width " + num(twips));
  }
  float Height() const override { return static_cast<float>(inside_h + frame_h) * tpp_y; }
  void set_Height(float twips) override {
    inside_h = static_cast<int>(std::lround(twips / tpp_y)) - frame_h;
    log_.push_back("set_Height " + num(twips));
  }
  float ScaleWidth() const override { return static_cast<float>(inside_w); }
  float ScaleHeight() const override { return static_cast<float>(inside_h); }
  Handle hWnd() const override { return kWindow; }
  Handle hDC(Element element) const override {
    if (element == Element::Form1) return kWindowDc;
    if (element == Element::ani_p) return kStripDc;
    return 0;
  }
  void Refresh(Element element) override {
    log_.push_back(std::string("Refresh ") + layout::element_name(element));
  }
  void Move(Element element, float l, float t, float w, float h) override {
    placed[element] = {l, t, w, h};
    log_.push_back(std::string("Move ") + layout::element_name(element) + " " + num(l) + "," +
                   num(t) + "," + num(w) + "," + num(h));
  }
  void set_Visible(Element element, bool shown) override {
    visible[element] = shown;
    log_.push_back(std::string("Visible ") + layout::element_name(element) + " " +
                   (shown ? "1" : "0"));
  }
  void set_Timer1_Enabled(bool enabled) override {
    timer_enabled = enabled;
    log_.push_back(std::string("Timer1 ") + (enabled ? "on" : "off"));
  }
  float TwipsPerPixelX() const override { return tpp_x; }
  float TwipsPerPixelY() const override { return tpp_y; }
  std::vector<TwipRect> Screens() const override { return screens; }
  TwipRect PrimaryWorkArea() const override { return work_area; }
  std::string App_Path() const override { return app_path; }
  void End() override {
    ended = true;
    log_.push_back("End");
  }
  // Pixel (x, y) is in the ellipse inscribed in the box when its centre is.
  Handle CreateEllipticRgn(int l, int t, int r, int b) override {
    const double cx = (l + r) / 2.0;
    const double cy = (t + b) / 2.0;
    const double rx = (r - l) / 2.0;
    const double ry = (b - t) / 2.0;
    return new_region("Ellipse", l, t, r, b, [=](int x, int y) {
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      return dx * dx + dy * dy <= 1.0;
    });
  }
  Handle CreateRectRgn(int l, int t, int r, int b) override {
    return new_region("Rect", l, t, r, b,
                      [=](int x, int y) { return x >= l && x < r && y >= t && y < b; });
  }
  // The destination takes a copy of the union; its own shape is replaced.
  int CombineRgn(Handle dest, Handle a, Handle b, int mode) override {
    log_.push_back("CombineRgn " + num(dest) + " " + num(a) + " " + num(b) + " " + num(mode));
    if (mode != RGN_OR || !live(dest) || !live(a) || !live(b)) {
      ++region_faults;
      return RGN_ERROR;
    }
    shapes_[dest] = [first = shapes_[a], second = shapes_[b]](int x, int y) {
      return first(x, y) || second(x, y);
    };
    return COMPLEXREGION;
  }
  // The window shows the region as it is now; the region stays the program's.
  int SetWindowRgn(Handle hwnd, Handle rgn, bool redraw) override {
    log_.push_back("SetWindowRgn " + num(hwnd) + " " + num(rgn) + (redraw ? " 1" : " 0"));
    if (hwnd != kWindow || !live(rgn)) {
      ++region_faults;
      return 0;
    }
    window_shape = shapes_[rgn];
    window_region = rgn;
    return 1;
  }
  bool DeleteObject(Handle object) override {
    log_.push_back("DeleteObject " + num(object));
    if (!live(object)) ++region_faults;
    shapes_.erase(object);
    return live_regions.erase(object) == 1;
  }
  bool BitBlt(Handle dest, int x, int y, int w, int h, Handle src, int sx, int sy,
              std::uint32_t rop) override {
    log_.push_back("BitBlt " + num(dest) + " " + num(x) + "," + num(y) + "," + num(w) + "," +
                   num(h) + " " + num(src) + " " + num(sx) + "," + num(sy) +
                   (rop == SRCCOPY ? " SRCCOPY" : " ?"));
    return true;
  }
  bool ReleaseCapture() override {
    log_.push_back("ReleaseCapture");
    return true;
  }
  std::intptr_t SendMessageA(Handle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                             std::intptr_t lparam) override {
    log_.push_back("SendMessageA " + num(hwnd) + " " + num(msg) + " " + num(wparam) + " " +
                   num(lparam));
    return 0;
  }

  static constexpr Handle kWindow = 7;
  static constexpr Handle kWindowDc = 8;
  static constexpr Handle kStripDc = 9;

 private:
  template <typename T>
  static std::string num(T value) {
    if constexpr (std::is_floating_point_v<T>) {
      if (value == static_cast<T>(static_cast<long long>(value)))
        return std::to_string(static_cast<long long>(value));
    }
    return std::to_string(value);
  }
  bool live(Handle region) const { return live_regions.count(region) == 1; }
  Handle new_region(const char* kind, int l, int t, int r, int b, Shape shape) {
    const Handle h = next_region_++;
    live_regions.insert(h);
    shapes_[h] = std::move(shape);
    log_.push_back(std::string("Create") + kind + " " + num(l) + "," + num(t) + "," + num(r) + "," +
                   num(b) + " -> " + num(h));
    return h;
  }

  CallLog& log_;
  Handle next_region_ = 100;
  std::map<Handle, Shape> shapes_;
};

// Records every request; `busy` makes SND_NOSTOP requests fail, as they do
// while a sound plays, and a name in `unplayable` plays nothing and gives 0.
class FakeSoundOut : public SoundOut {
 public:
  explicit FakeSoundOut(CallLog& log) : log_(log) {}
  bool busy = false;
  std::set<std::string> unplayable;

  int sndPlaySoundA(const std::string& name, unsigned flags) override {
    log_.push_back("snd \"" + name + "\" " + std::to_string(flags));
    if ((flags & SND_NOSTOP) != 0 && busy) return 0;
    return unplayable.count(name) == 0 ? 1 : 0;
  }

 private:
  CallLog& log_;
};

// Saves go to the shared log too, when one is given, so their place among
// the window's calls can be asserted.
class FakeSettings : public SettingsStore {
 public:
  std::map<std::string, std::string> values;  // "app/section/key" -> text
  CallLog* log = nullptr;

  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override {
    const auto it = values.find(app + "/" + section + "/" + key);
    return it == values.end() ? default_value : it->second;
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    values[app + "/" + section + "/" + key] = value;
    if (log != nullptr) log->push_back("SaveSetting " + key + "=" + value);
  }
};

// A dialog whose outcome the test decides: `choose` is what the user picks
// (empty for Cancel); the dialog then reports the chosen file's folder.
class FakeDialog : public CommonDialog {
 public:
  explicit FakeDialog(CallLog& log) : log_(log) {}
  std::optional<std::string> choose;
  std::vector<std::string> opened_in;  // the folder each dialog started in

  std::string InitDir() const override { return init_dir_; }
  void set_InitDir(const std::string& dir) override {
    init_dir_ = dir;
    log_.push_back("InitDir " + dir);
  }
  void ShowOpen() override {
    log_.push_back("ShowOpen");
    opened_in.push_back(init_dir_);
    file_name_ = choose.value_or("");
    if (choose && !choose->empty()) init_dir_ = choose->substr(0, choose->rfind('/'));
  }
  std::string FileName() const override { return file_name_; }

 private:
  CallLog& log_;
  std::string init_dir_;
  std::string file_name_;
};

}  // namespace wavorin::testing
