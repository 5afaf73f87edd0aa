#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/window_description.h"

namespace wavorin {

// How CombineRgn joins its sources; RGN_COPY takes the first alone.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t WM_NCLBUTTONDOWN = 161;
constexpr std::uintptr_t HTCAPTION = 2;

// Result of CombineRgn.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// What the program needs of the window runtime, the window system and the
// graphics layer. The window's position and outer size are twips (single
// precision); everything inside the window is pixels from the top-left corner
// of its inside.
class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // Form1: position and outer size, twips.
  virtual float Left() const = 0;
  virtual void set_Left(float twips) = 0;
  virtual float Top() const = 0;
  virtual void set_Top(float twips) = 0;
  virtual float Width() const = 0;
  virtual void set_Width(float twips) = 0;
  virtual float Height() const = 0;
  virtual void set_Height(float twips) = 0;
  // Inside size, pixels.
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  virtual Handle hWnd() const = 0;

  // Drawing surface of Form1 (its retained image) or of a picture box.
  virtual Handle hDC(Element element) const = 0;
  // Paints what changed in Form1, or in one image's rectangle, now.
  virtual void Refresh(Element element) = 0;
  // Images and picture boxes, pixels.
  virtual void Move(Element element, float left, float top, float width, float height) = 0;
  virtual void set_Visible(Element element, bool visible) = 0;
  virtual void set_Timer1_Enabled(bool enabled) = 0;

  // The screen object.
  virtual float TwipsPerPixelX() const = 0;
  virtual float TwipsPerPixelY() const = 0;
  // Each screen's rectangle and the primary screen's available area, twips.
  virtual std::vector<TwipRect> Screens() const = 0;
  virtual TwipRect PrimaryWorkArea() const = 0;

  // The application object: the program's folder, without a trailing separator.
  virtual std::string App_Path() const = 0;
  // Ends the program at once: no further event runs.
  virtual void End() = 0;

  // Regions (right and bottom edges excluded), drawing and the window manager.
  virtual Handle CreateEllipticRgn(int left, int top, int right, int bottom) = 0;
  virtual Handle CreateRectRgn(int left, int top, int right, int bottom) = 0;
  virtual int CombineRgn(Handle dest, Handle src1, Handle src2, int mode) = 0;
  virtual int SetWindowRgn(Handle hwnd, Handle rgn, bool redraw) = 0;
  virtual bool DeleteObject(Handle object) = 0;
  virtual bool BitBlt(Handle dest, int x, int y, int width, int height, Handle src, int src_x,
                      int src_y, std::uint32_t rop) = 0;
  virtual bool ReleaseCapture() = 0;
  virtual std::intptr_t SendMessageA(Handle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                                     std::intptr_t lparam) = 0;
};

}  // namespace wavorin
