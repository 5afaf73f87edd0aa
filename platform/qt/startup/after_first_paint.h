#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace wavorin {

// Runs a job once, from the event loop, after a widget has first been
// painted: work the first picture need not wait for (starting the sound
// system) goes there.
class AfterFirstPaint : public QObject {
  Q_OBJECT

 public:
  AfterFirstPaint(QWidget* widget, std::function<void()> job);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> job_;
};

}  // namespace wavorin
