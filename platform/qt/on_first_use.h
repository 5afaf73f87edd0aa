#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace wavorin {

// Runs a job once, the first time a person reaches for a widget: the pointer
// enters it, a button or key is pressed on it, or something is dragged over
// it. Work only use needs (starting the sound system) waits until then, so a
// window nobody touches holds none of it, and it is still ready before the
// press that asked for it is released.
class OnFirstUse : public QObject {
  Q_OBJECT

 public:
  OnFirstUse(QWidget* widget, std::function<void()> job);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> job_;
};

}  // namespace wavorin
