#include "platform/qt/on_first_use.h"

#include <QEvent>
#include <QWidget>
#include <utility>

namespace wavorin {

OnFirstUse::OnFirstUse(QWidget* widget, std::function<void()> job) : job_(std::move(job)) {
  widget->installEventFilter(this);
}

bool OnFirstUse::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::DragEnter:
      watched->removeEventFilter(this);
      job_();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace wavorin
