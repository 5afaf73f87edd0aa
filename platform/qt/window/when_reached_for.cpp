#include "platform/qt/window/when_reached_for.h"

#include <QEvent>
#include <QWidget>
#include <utility>

namespace wavorin {

WhenReachedFor::WhenReachedFor(QWidget* widget, std::function<void()> job) : job_(std::move(job)) {
  widget->installEventFilter(this);
}

bool WhenReachedFor::eventFilter(QObject* /*watched*/, QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
      // Passing over the window again is no sign of use.
      if (entered_) break;
      entered_ = true;
      job_();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::DragEnter:
      job_();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace wavorin
