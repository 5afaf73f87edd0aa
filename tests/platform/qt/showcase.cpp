// Manual check on a real X display: the window cut to the cabinet outline at
// (150, 100), the animation strip running, and after one second the pressed
// look of b_ply put on screen with Refresh while the thread then sleeps, as
// the program does during a click sound. Take a screenshot during the sleep.
//
//   qt_host_showcase [sleep_seconds]

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "platform/qt/startup/qpa_choice.h"
#include "platform/qt/window/qt_window_host.h"
#include "tests/platform/qt/test_window.h"

namespace {

class Showcase : public wavorin::FormEvents {
 public:
  explicit Showcase(wavorin::QtWindowHost& host) : host_(host) {}

  void Form_Load() override {
    using wavorin::Element;
    const float tx = host_.TwipsPerPixelX();
    const float ty = host_.TwipsPerPixelY();
    host_.set_Left(150 * tx);
    host_.set_Top(100 * ty);
    host_.set_Width(226 * tx);
    host_.set_Height(332 * ty);
    const wavorin::Handle shape = host_.CreateEllipticRgn(0, 0, 226, 226);
    for (const auto& [l, t, r, b] : {std::array{0, 113, 226, 327}, std::array{0, 327, 25, 332},
                                     std::array{201, 327, 226, 332}}) {
      const wavorin::Handle part = host_.CreateRectRgn(l, t, r, b);
      host_.CombineRgn(shape, shape, part, wavorin::RGN_OR);
      host_.DeleteObject(part);
    }
    host_.SetWindowRgn(host_.hWnd(), shape, true);
    host_.DeleteObject(shape);
    host_.set_Timer1_Enabled(true);
  }
  void Form_MouseMove(std::int16_t Button, std::int16_t, float, float) override {
    if (Button != 1) return;
    host_.ReleaseCapture();
    host_.SendMessageA(host_.hWnd(), wavorin::WM_NCLBUTTONDOWN, wavorin::HTCAPTION, 0);
  }
  void b_ply_Click() override {}
  void play_file(const std::string&) override {}
  void b_stp_Click() override {}
  void b_opn_Click() override {}
  void b_cls_Click() override {
    std::cout << "b_cls_Click: ending" << std::endl;
    host_.End();
  }
  void Timer1_Timer() override {
    using wavorin::Element;
    host_.BitBlt(host_.hDC(Element::Form1), 0, 0, 225, 120, host_.hDC(Element::ani_p), 0,
                 frame_ * 120, wavorin::SRCCOPY);
    host_.Refresh(Element::Form1);
    frame_ = (frame_ + 1) % 8;
    if (++ticks_ == 10) {
      host_.set_Visible(Element::b_ply, false);
      host_.set_Visible(Element::p_ply, true);
      host_.Refresh(Element::p_ply);
      std::cout << "pressed look on screen, sleeping" << std::endl;
      std::this_thread::sleep_for(std::chrono::seconds(sleep_seconds));
      host_.set_Visible(Element::p_ply, false);
      host_.set_Visible(Element::b_ply, true);
      host_.Refresh(Element::b_ply);
      std::cout << "released" << std::endl;
    }
  }

  int sleep_seconds = 3;

 private:
  wavorin::QtWindowHost& host_;
  int frame_ = 0;
  int ticks_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  wavorin::choose_platform(/*x_server_live=*/true, /*wayland_live=*/false);
  QApplication app(argc, argv);
  QTemporaryDir pictures;
  const float tpp = 15.0F;
  wavorin::QtWindowHost host(wavorin::test::make_description(pictures.path(), tpp));
  Showcase form(host);
  if (argc > 1) form.sleep_seconds = std::stoi(argv[1]);
  const int status = host.run(form);
  std::cout << "exit status " << status << std::endl;
  return status;
}
