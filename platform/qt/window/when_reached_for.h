#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace wavorin {

// Runs a job whenever a person reaches for a widget: a button or key is
// pressed on it or something is dragged over it, and the first time the
// pointer enters it. Work only use needs (starting the sound system, opening
// the sound device) waits until then, so a window nobody touches holds none
// of it, and it is done before the press that asked for it is released.
class WhenReachedFor : public QObject {
  Q_OBJECT

 public:
  WhenReachedFor(QWidget* widget, std::function<void()> job);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> job_;
  bool entered_ = false;
};

}  // namespace wavorin
