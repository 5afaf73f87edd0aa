#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <optional>
#include <vector>

#include "platform/qt/window/form_scene.h"
#include "platform/qt/window/keyboard_focus.h"
#include "platform/qt/window/window_drag.h"
#include "platform/window_description.h"

namespace wavorin {

// The window: frameless, painted from its scene, and turning the mouse into
// the program's events. Images take the mouse over their rectangles; a click
// is a left press and release on the same Image; everything else is a mouse
// move of the window. Keys move a focus ring over the push buttons and press
// them, through the same signal as a click.
class FormWidget : public QWidget {
  Q_OBJECT

 public:
  FormWidget(FormScene& scene, std::vector<PushButtonDescription> buttons);

  // Starts a caption drag for the left button held now; it lasts until that
  // button is released.
  void start_caption_drag();
  void release_capture();

  // Presses a button as a click does, once the current event is done: for
  // callers that must not wait for a handler (a screen reader, media controls).
  void press_later(wavorin::Element button);
  const KeyboardFocus& keyboard_focus() const { return focus_; }
  // The push buttons, in their tab order.
  const std::vector<PushButtonDescription>& buttons() const { return buttons_; }
  QRect button_rect(wavorin::Element button) const;

  // The room around the cabinet in which the window draws the cabinet's own
  // shadow (window pixels on every side, 0: none; kept as the widget's
  // contents margins) and that shadow, a picture of the whole window. The
  // cabinet keeps its place on the screen: the window grows and moves by the
  // margin. Everything else the widget is told or tells is in pixels of the
  // cabinet's inside, from its top-left corner.
  void set_shadow(int margin, QImage shadow);
  QPoint inside_origin() const { return contentsRect().topLeft(); }
  void update_inside(const QRegion& area) { update(area.translated(inside_origin())); }
  void repaint_inside(const QRegion& area) { repaint(area.translated(inside_origin())); }

 signals:
  void image_clicked(wavorin::Element element);
  // buttons: 1 left, 2 right, 4 middle; shift: 1 shift, 2 ctrl, 4 alt;
  // position in pixels of the inside.
  void mouse_moved(int buttons, int shift, QPointF position);
  void close_requested();
  // The first local file of a drop, as a full path in the file system's
  // encoding.
  void file_dropped(const QByteArray& path);
  // The keyboard's Play/Pause and Pause keys: the host knows whether a sound
  // plays, and so which button they press.
  void play_pause_requested();
  void pause_requested();
  // The screen's device pixel ratio is no longer the scene's.
  void device_ratio_changed();
  // A paint event has been handled.
  void painted();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  FormScene& scene_;
  QImage shadow_;  // null: none
  std::vector<PushButtonDescription> buttons_;
  // The Image a press began on: it owns the mouse until every button is up.
  std::optional<Element> pressed_image_;
  // A press outside the window's shape: ignored until every button is up.
  bool press_outside_ = false;
  Qt::MouseButtons held_;
  WindowDrag drag_;
  KeyboardFocus focus_;

  void move_focus(bool forward);
  void update_ring();
  void set_ring_hidden();
};

}  // namespace wavorin
