#include "platform/qt/startup/after_first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace wavorin {

AfterFirstPaint::AfterFirstPaint(QWidget* widget, std::function<void()> job)
    : job_(std::move(job)) {
  widget->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    watched->removeEventFilter(this);
    // Queued: the paint and its flush to the screen finish first.
    QTimer::singleShot(0, this, [this] { job_(); });
  }
  return false;
}

}  // namespace wavorin
