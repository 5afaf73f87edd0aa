#include "platform/qt/form_widget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>

namespace wavorin {

namespace {

int button_bits(Qt::MouseButtons buttons) {
  int bits = 0;
  if (buttons & Qt::LeftButton) bits |= 1;
  if (buttons & Qt::RightButton) bits |= 2;
  if (buttons & Qt::MiddleButton) bits |= 4;
  return bits;
}

int shift_bits(Qt::KeyboardModifiers modifiers) {
  int bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= 1;
  if (modifiers & Qt::ControlModifier) bits |= 2;
  if (modifiers & Qt::AltModifier) bits |= 4;
  return bits;
}

}  // namespace

FormWidget::FormWidget(FormScene& scene) : scene_(scene) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  // Every paint covers its whole area from the retained image.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  // A Wayland client cannot cut its window: the outside is painted
  // transparent instead, which needs a surface with alpha.
  if (QGuiApplication::platformName() == QLatin1String("wayland")) {
    setAttribute(Qt::WA_TranslucentBackground);
  }
}

void FormWidget::start_caption_drag() {
  if (!(held_ & Qt::LeftButton)) return;
  if (QGuiApplication::platformName() == QLatin1String("wayland") && windowHandle() != nullptr) {
    windowHandle()->startSystemMove();
    return;
  }
  drag_.start();
}

void FormWidget::release_capture() {
  if (QWidget::mouseGrabber() == this) releaseMouse();
}

bool FormWidget::event(QEvent* event) {
  if (event->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
      || event->type() == QEvent::DevicePixelRatioChange
#endif
  ) {
    if (devicePixelRatio() != scene_.ratio()) emit device_ratio_changed();
  }
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const ImageElement* image = scene_.image_at(help->pos());
    if (image != nullptr && !image->tool_tip.isEmpty()) {
      QToolTip::showText(help->globalPos(), image->tool_tip, this, image->rect);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QWidget::event(event);
}

void FormWidget::paintEvent(QPaintEvent* event) {
  // Not every platform reports a change of ratio as an event of its own.
  if (devicePixelRatio() != scene_.ratio()) emit device_ratio_changed();
  QPainter painter(this);
  scene_.paint(painter, event->region());
  painter.end();
  emit painted();
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  scene_.grow_to(size());
  QWidget::resizeEvent(event);
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
  const bool first_button = held_ == Qt::NoButton;
  held_ = event->buttons() | event->button();
  if (first_button) {
    const QPoint at = event->position().toPoint();
    press_outside_ = !mask().isEmpty() && !mask().contains(at);
    const ImageElement* image = press_outside_ ? nullptr : scene_.image_at(at);
    pressed_image_ = image != nullptr ? std::optional(image->element) : std::nullopt;
  }
  if (event->button() == Qt::LeftButton) {
    drag_.press(event->globalPosition().toPoint(), pos());
  }
}

void FormWidget::mouseMoveEvent(QMouseEvent* event) {
  held_ = event->buttons();
  if (drag_.active()) {
    if (held_ & Qt::LeftButton) {
      move(drag_.window_position(event->globalPosition().toPoint()));
      return;
    }
    drag_.stop();
  }
  if (pressed_image_ || press_outside_) return;
  // With no button held, an Image under the pointer takes the move; while a
  // press that began on the window lasts, the window keeps every move.
  if (held_ == Qt::NoButton && scene_.image_at(event->position().toPoint()) != nullptr) return;
  emit mouse_moved(button_bits(held_), shift_bits(event->modifiers()), event->position());
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
  held_ = event->buttons();
  if (event->button() == Qt::LeftButton && drag_.active()) {
    drag_.stop();
  } else if (event->button() == Qt::LeftButton && pressed_image_) {
    const ImageElement* image = scene_.image_at(event->position().toPoint());
    if (image != nullptr && image->element == *pressed_image_ && image->clickable) {
      emit image_clicked(image->element);
    }
  }
  if (held_ == Qt::NoButton) {
    pressed_image_.reset();
    press_outside_ = false;
  }
}

void FormWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  emit close_requested();
}

}  // namespace wavorin
