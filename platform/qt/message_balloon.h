#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

namespace wavorin {

// A short message in a small balloon beside the window, for a few seconds or
// until clicked. It never takes the focus and never moves the window; a new
// message replaces the one shown.
class MessageBalloon : public QWidget {
  Q_OBJECT

 public:
  // `button_top`: pixels from the window's top to its buttons' row, where
  // the balloon stands.
  MessageBalloon(QWidget* beside, int button_top);

  // Shown only while the window is; returns whether it was.
  bool show_message(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void place();

  QWidget* beside_;
  int button_top_;
  QString text_;
  QTimer hide_timer_;
};

}  // namespace wavorin
