#include "platform/qt/window/qt_window_host.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTimer>
#include <cmath>

#include "platform/qt/drawing/region_shape.h"
#include "platform/qt/startup/qpa_choice.h"
#include "platform/qt/window/form_widget.h"
#include "platform/qt/window/window_system_flush.h"

namespace wavorin {

namespace {

int to_int(float value) { return static_cast<int>(std::lround(value)); }

std::string program_folder() {
  QString dir = QCoreApplication::applicationDirPath();
  while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
  return QFile::encodeName(dir).toStdString();
}

}  // namespace

QtWindowHost::QtWindowHost(const WindowDescription& description, ErrorReport report)
    : description_(description),
      report_(report),
      app_path_(program_folder()),
      scene_(QSize(description.stored_inside_width_px, description.stored_inside_height_px), {}),
      widget_(std::make_unique<FormWidget>(scene_, description.buttons)),
      // A native Wayland client neither knows nor chooses where its window
      // is: the position it is given is kept as given.
      metrics_(*widget_, !on_wayland()),
      pictures_(scene_, widget_->devicePixelRatio()),
      outline_(*widget_, scene_),
      gate_([this](const std::string& line) { fail(line); }) {
  pictures_.start_scene(
      QSize(description.stored_inside_width_px, description.stored_inside_height_px),
      description.background);
  widget_->setWindowTitle(QString::fromUtf8(description_.title));
  widget_->resize(description_.stored_inside_width_px, description_.stored_inside_height_px);
  build_controls();

  QObject::connect(widget_.get(), &FormWidget::image_clicked, widget_.get(),
                   [this](Element e) { press(e); });
  QObject::connect(widget_.get(), &FormWidget::mouse_moved, widget_.get(),
                   [this](int buttons, int shift, QPointF at) {
                     if (events_ == nullptr) return;
                     gate_.raise([&] {
                       events_->Form_MouseMove(
                           static_cast<std::int16_t>(buttons), static_cast<std::int16_t>(shift),
                           static_cast<float>(at.x()), static_cast<float>(at.y()));
                     });
                   });
  QObject::connect(widget_.get(), &FormWidget::file_dropped, widget_.get(),
                   [this](const QByteArray& path) { raise_play_file(path.toStdString()); });
  QObject::connect(widget_.get(), &FormWidget::close_requested, widget_.get(), [this] { End(); });
  QObject::connect(widget_.get(), &FormWidget::device_ratio_changed, widget_.get(),
                   [this] { use_device_ratio(widget_->devicePixelRatio()); });
  QObject::connect(&timer_, &QTimer::timeout, &timer_,
                   [this] { raise(&FormEvents::Timer1_Timer); });
}

QtWindowHost::~QtWindowHost() = default;

void QtWindowHost::build_controls() {
  for (const ControlDescription& control : description_.controls) {
    switch (control.kind) {
      case ControlKind::Timer:
        timer_.setInterval(control.interval_ms);
        if (control.enabled) timer_.start();
        break;
      case ControlKind::PictureBox:
        pictures_.set_picture_box(metrics_.to_pixels(control.stored), control.picture);
        break;
      case ControlKind::Image:
        scene_.add_image({control.element, metrics_.to_pixels(control.stored), QImage(),
                          QString::fromUtf8(control.tool_tip), control.visible,
                          push_button(control.element) != nullptr});
        pictures_.add_image_picture(control.element, control.picture);
        if (control.visible) pictures_.load_picture_of(control.element);
        break;
      case ControlKind::FileDialog:
        break;
    }
  }
}

int QtWindowHost::run(FormEvents& events) {
  events_ = &events;
  raise(&FormEvents::Form_Load);
  if (gate_.closed()) return exit_status_;
  // The load fitted the inside: the user cannot resize the window, so window
  // managers offer no resize.
  widget_->setFixedSize(widget_->size());
  // The first paint needs only the skin; the pressed faces are decoded once
  // it is on the screen, the animation strip when first drawn from.
  QObject::connect(
      widget_.get(), &FormWidget::painted, widget_.get(),
      [this] {
        outline_.cut_again();
        pictures_.load_remaining_pictures();
      },
      static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
  // The native window is made first, so that it is cut before it is first
  // shown; a Wayland window takes its input region once it is shown.
  widget_->winId();
  outline_.apply(pictures_.ratio());
  widget_->show();
  if (on_wayland()) outline_.apply(pictures_.ratio());
  flush_window_system();
  if (!start_file_.empty()) {
    // Queued, so the file plays from the running loop like any later event.
    QTimer::singleShot(0, widget_.get(), [this] { raise_play_file(start_file_); });
  }
  running_ = true;
  const int status = QApplication::exec();
  running_ = false;
  return gate_.closed() ? exit_status_ : status;
}

QWidget* QtWindowHost::widget() { return widget_.get(); }

bool QtWindowHost::raise(void (FormEvents::*handler)(), bool starts_sound) {
  if (events_ == nullptr) return false;
  const bool ran = gate_.raise([this, handler] { (events_->*handler)(); });
  if (ran && starts_sound) ++sound_starts_;
  if (state_listener_) state_listener_();
  return ran;
}

const PushButtonDescription* QtWindowHost::push_button(Element element) const {
  for (const PushButtonDescription& button : description_.buttons)
    if (button.element == element) return &button;
  return nullptr;
}

void QtWindowHost::press(Element button) {
  const PushButtonDescription* pressed = push_button(button);
  if (pressed != nullptr) raise(pressed->click, pressed->sound_role == SoundRole::Starts);
}

void QtWindowHost::raise_play_file(const std::string& path) {
  if (events_ == nullptr) return;
  if (gate_.raise([this, &path] { events_->play_file(path); })) ++sound_starts_;
  if (state_listener_) state_listener_();
}

void QtWindowHost::fail(const std::string& report) {
  timer_.stop();
  report_.show(description_.title, report, widget_->isVisible() ? widget_.get() : nullptr);
  stop(1);
}

void QtWindowHost::stop(int status) {
  gate_.close();
  timer_.stop();
  widget_->hide();
  exit_status_ = status;
  // Only a running loop may be told to quit: exit() outside one would make the
  // next event loop return at once.
  if (running_) QCoreApplication::exit(status);
}

void QtWindowHost::End() { stop(0); }

float QtWindowHost::TwipsPerPixelX() const { return metrics_.twips_per_pixel_x(); }
float QtWindowHost::TwipsPerPixelY() const { return metrics_.twips_per_pixel_y(); }
float QtWindowHost::Left() const { return metrics_.left(); }
void QtWindowHost::set_Left(float twips) { metrics_.set_left(twips); }
float QtWindowHost::Top() const { return metrics_.top(); }
void QtWindowHost::set_Top(float twips) { metrics_.set_top(twips); }
float QtWindowHost::Width() const { return metrics_.width(); }
void QtWindowHost::set_Width(float twips) { metrics_.set_width(twips); }
float QtWindowHost::Height() const { return metrics_.height(); }
void QtWindowHost::set_Height(float twips) { metrics_.set_height(twips); }
std::vector<TwipRect> QtWindowHost::Screens() const { return metrics_.screens(); }
TwipRect QtWindowHost::PrimaryWorkArea() const { return metrics_.primary_work_area(); }

float QtWindowHost::ScaleWidth() const {
  return static_cast<float>(widget_->contentsRect().width());
}
float QtWindowHost::ScaleHeight() const {
  return static_cast<float>(widget_->contentsRect().height());
}
Handle QtWindowHost::hWnd() const { return kWindowHandle; }

Handle QtWindowHost::hDC(Element element) const {
  if (element == Element::Form1) return FormPictures::kFormDc;
  for (const ControlDescription& control : description_.controls) {
    if (control.element == element && control.kind == ControlKind::PictureBox)
      return FormPictures::kPictureBoxDc;
  }
  return 0;
}

void QtWindowHost::Refresh(Element element) {
  QRegion area;
  if (element == Element::Form1) {
    area = scene_.take_dirty();
  } else if (const ImageElement* image = scene_.image(element)) {
    area = image->rect;
  }
  if (area.isEmpty() || !widget_->isVisible()) return;
  widget_->repaint_inside(area);
  flush_window_system();
}

void QtWindowHost::Move(Element element, float left, float top, float width, float height) {
  const QRect rect(to_int(left), to_int(top), std::max(0, to_int(width)),
                   std::max(0, to_int(height)));
  if (ImageElement* image = scene_.image(element)) {
    const QRect old = image->rect;
    image->rect = rect;
    widget_->update_inside(QRegion(old) | rect);
  } else if (hDC(element) == FormPictures::kPictureBoxDc) {
    pictures_.move_picture_box(rect);
  }
}

void QtWindowHost::set_Visible(Element element, bool visible) {
  ImageElement* image = scene_.image(element);
  if (image == nullptr || image->visible == visible) return;
  if (visible) pictures_.load_picture_of(element);
  image->visible = visible;
  widget_->update_inside(image->rect);
}

void QtWindowHost::set_Timer1_Enabled(bool enabled) {
  if (!enabled) {
    timer_.stop();
  } else if (!gate_.closed() && !timer_.isActive()) {
    timer_.start();
  }
}

std::string QtWindowHost::App_Path() const { return app_path_; }

Handle QtWindowHost::CreateEllipticRgn(int left, int top, int right, int bottom) {
  return regions_.CreateEllipticRgn(left, top, right, bottom);
}

Handle QtWindowHost::CreateRectRgn(int left, int top, int right, int bottom) {
  return regions_.CreateRectRgn(left, top, right, bottom);
}

int QtWindowHost::CombineRgn(Handle dest, Handle src1, Handle src2, int mode) {
  return regions_.CombineRgn(dest, src1, src2, mode);
}

int QtWindowHost::SetWindowRgn(Handle hwnd, Handle rgn, bool redraw) {
  if (hwnd != kWindowHandle) return 0;
  if (rgn == 0) {
    outline_.set_outline(std::nullopt, QRegion());
  } else if (const QRegion* region = regions_.find(rgn)) {
    outline_.set_outline(*regions_.shape(rgn), as_window_shape(*region));
  } else {
    return 0;
  }
  outline_.apply(pictures_.ratio());
  if (redraw) widget_->update();
  return 1;
}

bool QtWindowHost::DeleteObject(Handle object) { return regions_.DeleteObject(object); }

bool QtWindowHost::BitBlt(Handle dest, int x, int y, int width, int height, Handle src, int src_x,
                          int src_y, std::uint32_t rop) {
  if (rop != SRCCOPY) return false;
  return pictures_.copy_block({dest, x, y, width, height, src, src_x, src_y, {}});
}

bool QtWindowHost::ReleaseCapture() {
  widget_->release_capture();
  return true;
}

std::intptr_t QtWindowHost::SendMessageA(Handle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                                         std::intptr_t /*lparam*/) {
  if (hwnd == kWindowHandle && msg == WM_NCLBUTTONDOWN && wparam == HTCAPTION) {
    widget_->start_caption_drag();
  }
  return 0;
}

void QtWindowHost::use_device_ratio(double ratio) {
  if (ratio <= 0 || ratio == pictures_.ratio()) return;
  const QSize stored(description_.stored_inside_width_px, description_.stored_inside_height_px);
  pictures_.use_ratio(ratio, stored.expandedTo(widget_->contentsRect().size()),
                      description_.background);
  outline_.apply(ratio);
  widget_->update();
}

}  // namespace wavorin
