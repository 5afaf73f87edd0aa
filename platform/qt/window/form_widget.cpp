#include "platform/qt/window/form_widget.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <utility>

#include "platform/qt/files/local_names.h"
#include "platform/qt/startup/qpa_choice.h"

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

// A drop is taken only when it carries a local file first: the program plays
// files, not text or remote addresses. The path comes as the file system's
// bytes, whatever their encoding.
QByteArray first_local_file(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
  return local_file_name(data->urls().constFirst());
}

}  // namespace

FormWidget::FormWidget(FormScene& scene, std::vector<PushButtonDescription> buttons)
    : scene_(scene), buttons_(std::move(buttons)), focus_(buttons_) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  // Every paint covers its whole area from the retained image.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  // A surface with alpha, chosen once as the window is made: where a
  // compositor runs, the outline's edge is blended through it (a Wayland
  // client cannot cut its window at all). Without one, every pixel is drawn
  // opaque and the window is cut to its outline.
  setAttribute(Qt::WA_TranslucentBackground);
}

void FormWidget::set_shadow(int margin, QImage shadow) {
  shadow_ = std::move(shadow);
  const QMargins old = contentsMargins();
  if (old.left() != margin) {
    const QPoint cabinet = pos() + QPoint(old.left(), old.top());
    const QSize inside = size().shrunkBy(old);
    const QMargins now(margin, margin, margin, margin);
    setContentsMargins(now);
    // A fixed size stays fixed: the user cannot resize the window.
    if (minimumSize() == maximumSize()) {
      setFixedSize(inside.grownBy(now));
    } else {
      resize(inside.grownBy(now));
    }
    move(cabinet - QPoint(margin, margin));
  }
  update();
}

void FormWidget::start_caption_drag() {
  if (!(held_ & Qt::LeftButton)) return;
  if (on_wayland() && windowHandle() != nullptr) {
    windowHandle()->startSystemMove();
    return;
  }
  drag_.start();
}

void FormWidget::release_capture() {
  if (QWidget::mouseGrabber() == this) releaseMouse();
}

void FormWidget::press_later(Element button) {
  QTimer::singleShot(0, this, [this, button] { emit image_clicked(button); });
}

QRect FormWidget::button_rect(Element button) const {
  const ImageElement* image = scene_.image(button);
  return image != nullptr ? image->rect : QRect();
}

bool FormWidget::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) setFocus(Qt::ActiveWindowFocusReason);
  if (event->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
      || event->type() == QEvent::DevicePixelRatioChange
#endif
  ) {
    if (devicePixelRatio() != scene_.ratio()) emit device_ratio_changed();
  }
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const ImageElement* image = scene_.image_at(help->pos() - inside_origin());
    if (image != nullptr && !image->tool_tip.isEmpty()) {
      QToolTip::showText(help->globalPos(), image->tool_tip, this,
                         image->rect.translated(inside_origin()));
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
  if (!shadow_.isNull()) {
    // Nothing of the cabinet lies in the margin: cleared, so the shadow
    // below shows there alone.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& rect : event->region() - contentsRect())
      painter.fillRect(rect, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  const QPoint origin = inside_origin();
  const QRegion area = event->region().translated(-origin);
  painter.translate(origin);
  scene_.paint(painter, area);
  if (focus_.ring_shown()) paint_focus_ring(painter, button_rect(*focus_.focused()));
  scene_.apply_coverage(painter, area);
  if (!shadow_.isNull()) {
    // Beneath what was painted: it shows only where the cabinet leaves the
    // window transparent, beyond the outline and through its blended edge.
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    painter.drawImage(QPointF(0, 0), shadow_);
  }
  painter.end();
  emit painted();
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  scene_.grow_to(contentsRect().size());
  QWidget::resizeEvent(event);
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
  const bool first_button = held_ == Qt::NoButton;
  held_ = event->buttons() | event->button();
  set_ring_hidden();
  if (first_button) {
    press_outside_ = !mask().isEmpty() && !mask().contains(event->position().toPoint());
    const QPoint at = event->position().toPoint() - inside_origin();
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
  const QPointF at = event->position() - inside_origin();
  if (held_ == Qt::NoButton && scene_.image_at(at.toPoint()) != nullptr) return;
  emit mouse_moved(button_bits(held_), shift_bits(event->modifiers()), at);
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
  held_ = event->buttons();
  if (event->button() == Qt::LeftButton && drag_.active()) {
    drag_.stop();
  } else if (event->button() == Qt::LeftButton && pressed_image_) {
    const ImageElement* image = scene_.image_at(event->position().toPoint() - inside_origin());
    if (image != nullptr && image->element == *pressed_image_ && image->clickable) {
      focus_.clicked(image->element);
      emit image_clicked(image->element);
    }
  }
  if (held_ == Qt::NoButton) {
    pressed_image_.reset();
    press_outside_ = false;
  }
}

void FormWidget::keyPressEvent(QKeyEvent* event) {
  // A held key would queue a press per repeat behind the synchronous click.
  const KeyAction action = key_action(*event, buttons_);
  if (action.command == KeyCommand::None) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (event->isAutoRepeat()) return;
  std::optional<Element> button;
  switch (action.command) {
    case KeyCommand::Next:
    case KeyCommand::Previous:
      move_focus(action.command == KeyCommand::Next);
      return;
    case KeyCommand::PressFocused:
      button = focus_.focused();
      break;
    case KeyCommand::PressButton:
      button = action.button;
      break;
    case KeyCommand::PlayPause:
      emit play_pause_requested();
      return;
    case KeyCommand::Pause:
      emit pause_requested();
      return;
    case KeyCommand::None:
      break;
  }
  if (!focus_.ring_shown() && focus_.focused()) {
    focus_.show_ring();
    update_ring();
  }
  if (button) emit image_clicked(*button);
}

bool FormWidget::focusNextPrevChild(bool next) {
  move_focus(next);
  return true;
}

void FormWidget::move_focus(bool forward) {
  focus_.step(forward);
  update_ring();
  if (QAccessible::isActive()) {
    QAccessibleEvent focused(this, QAccessible::Focus);
    focused.setChild(focus_.index());
    QAccessible::updateAccessibility(&focused);
  }
}

void FormWidget::set_ring_hidden() {
  if (!focus_.ring_shown()) return;
  focus_.hide_ring();
  update_ring();
}

void FormWidget::update_ring() {
  for (const PushButtonDescription& button : buttons_)
    update_inside(focus_ring_area(button_rect(button.element)));
}

void FormWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  emit close_requested();
}

void FormWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (first_local_file(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void FormWidget::dropEvent(QDropEvent* event) {
  const QByteArray path = first_local_file(event->mimeData());
  if (path.isEmpty()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit file_dropped(path);
}

}  // namespace wavorin
