#include "app/form1.h"

#include <cmath>
#include <limits>

#include "app/layout.h"
#include "platform/runtime_error.h"

namespace wavorin {

using layout::kInsideHeight;
using layout::kInsideWidth;

namespace {

// outer - (tpp x inside) + (tpp x wanted), worked in double and rounded once to
// single precision, so the frame's own size is kept as it was.
float fitted_size(float outer, float twips_per_pixel, float inside_px, int wanted_px) {
  const double size = static_cast<double>(outer) -
                      static_cast<double>(twips_per_pixel) * inside_px +
                      static_cast<double>(twips_per_pixel) * wanted_px;
  if (!std::isfinite(size) || std::fabs(size) > std::numeric_limits<float>::max())
    throw RuntimeError::Overflow();
  return static_cast<float>(size);
}

bool overlaps(const TwipRect& a, const TwipRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

Form1::Form1(WindowHost& host, SoundOut& sound, SettingsStore& settings, CommonDialog& dialog)
    : host_(host), sound_(sound), settings_(settings), dialog_(dialog) {}

void Form1::Form_Load() {
  load_reg();
  host_.set_Left(static_cast<float>(m_.win_x));
  host_.set_Top(static_cast<float>(m_.win_y));
  fit_inside_size();
  keep_on_a_screen();
  place_controls();
  cut_outline();
  m_.wav_file = data_file(layout::kSampleSound);
}

void Form1::fit_inside_size() {
  host_.set_Width(
      fitted_size(host_.Width(), host_.TwipsPerPixelX(), host_.ScaleWidth(), kInsideWidth));
  host_.set_Height(
      fitted_size(host_.Height(), host_.TwipsPerPixelY(), host_.ScaleHeight(), kInsideHeight));
}

// A position saved on a monitor that is gone would leave the window where no
// one can see or reach it. Any position that leaves part of the window on a
// screen, negative ones included, is kept exactly as stored.
void Form1::keep_on_a_screen() {
  const TwipRect window{host_.Left(), host_.Top(), host_.Width(), host_.Height()};
  const auto screens = host_.Screens();
  if (screens.empty()) return;
  for (const TwipRect& screen : screens)
    if (overlaps(window, screen)) return;
  const TwipRect work = host_.PrimaryWorkArea();
  host_.set_Left(work.left);
  host_.set_Top(work.top);
}

void Form1::place_controls() {
  for (const auto& pair : layout::kButtons) {
    host_.Move(pair.button, static_cast<float>(pair.left), layout::kButtonTop, layout::kButtonSize,
               layout::kButtonSize);
    host_.Move(pair.pressed, static_cast<float>(pair.left), layout::kButtonTop, layout::kButtonSize,
               layout::kButtonSize);
  }
  host_.Move(Element::ani_p, 0, 0, layout::kFrameWidth, layout::kStripHeight);
}

// The cabinet's outline: a disc on top of the body, and two feet. Right and
// bottom edges are excluded.
void Form1::cut_outline() {
  using namespace layout;
  const Handle disc = host_.CreateEllipticRgn(kOutlineDisc.left, kOutlineDisc.top,
                                              kOutlineDisc.right, kOutlineDisc.bottom);
  const Handle body = host_.CreateRectRgn(kOutlineBody.left, kOutlineBody.top, kOutlineBody.right,
                                          kOutlineBody.bottom);
  const Handle left_foot = host_.CreateRectRgn(kOutlineLeftFoot.left, kOutlineLeftFoot.top,
                                               kOutlineLeftFoot.right, kOutlineLeftFoot.bottom);
  const Handle right_foot = host_.CreateRectRgn(kOutlineRightFoot.left, kOutlineRightFoot.top,
                                                kOutlineRightFoot.right, kOutlineRightFoot.bottom);
  m_.win_rgn = host_.CreateRectRgn(kOutlineStart.left, kOutlineStart.top, kOutlineStart.right,
                                   kOutlineStart.bottom);
  host_.CombineRgn(m_.win_rgn, disc, body, RGN_OR);
  host_.CombineRgn(m_.win_rgn, m_.win_rgn, left_foot, RGN_OR);
  host_.CombineRgn(m_.win_rgn, m_.win_rgn, right_foot, RGN_OR);
  host_.SetWindowRgn(host_.hWnd(), m_.win_rgn, true);
  host_.DeleteObject(disc);
  host_.DeleteObject(body);
  host_.DeleteObject(left_foot);
  host_.DeleteObject(right_foot);
}

void Form1::Form_MouseMove(std::int16_t Button, std::int16_t /*Shift*/, float /*X*/, float /*Y*/) {
  if ((Button & 1) == 0) return;
  host_.ReleaseCapture();
  host_.SendMessageA(host_.hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Form1::b_cls_Click() {
  press_feedback(Element::p_cls);
  host_.DeleteObject(m_.win_rgn);
  save_reg();
  host_.End();
}

// Data files lie in the program's folder; the folder text is used as the
// runtime reports it, so the name is joined by plain concatenation.
std::string Form1::data_file(const char* name) const { return host_.App_Path() + name; }

}  // namespace wavorin
