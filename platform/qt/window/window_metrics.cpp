#include "platform/qt/window/window_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace wavorin {

namespace {

int to_int(float value) { return static_cast<int>(std::lround(value)); }

}  // namespace

float WindowMetrics::twips_per_pixel_x() const {
  return 1440.0F / static_cast<float>(window_.screen()->logicalDotsPerInchX());
}

float WindowMetrics::twips_per_pixel_y() const {
  return 1440.0F / static_cast<float>(window_.screen()->logicalDotsPerInchY());
}

QRect WindowMetrics::to_pixels(const TwipRect& rect) const {
  const float tx = twips_per_pixel_x();
  const float ty = twips_per_pixel_y();
  return {to_int(rect.left / tx), to_int(rect.top / ty), to_int(rect.width / tx),
          to_int(rect.height / ty)};
}

TwipRect WindowMetrics::to_twips(const QRect& rect) const {
  const float tx = twips_per_pixel_x();
  const float ty = twips_per_pixel_y();
  return {static_cast<float>(rect.left()) * tx, static_cast<float>(rect.top()) * ty,
          static_cast<float>(rect.width()) * tx, static_cast<float>(rect.height()) * ty};
}

// A top-level widget's pos() is its frame's position; the frame adds nothing
// to a frameless window, but the arithmetic stays right for a framed one.
// The shadow's margin (the contents margins) lies around the window, not in
// it.
float WindowMetrics::left() const {
  if (!position_known_) return unknown_left_;
  return static_cast<float>(window_.pos().x() + window_.contentsMargins().left()) *
         twips_per_pixel_x();
}
float WindowMetrics::top() const {
  if (!position_known_) return unknown_top_;
  return static_cast<float>(window_.pos().y() + window_.contentsMargins().top()) *
         twips_per_pixel_y();
}

float WindowMetrics::width() const {
  const QMargins margins = window_.contentsMargins();
  return static_cast<float>(window_.frameGeometry().width() - margins.left() - margins.right()) *
         twips_per_pixel_x();
}

float WindowMetrics::height() const {
  const QMargins margins = window_.contentsMargins();
  return static_cast<float>(window_.frameGeometry().height() - margins.top() - margins.bottom()) *
         twips_per_pixel_y();
}

void WindowMetrics::set_left(float twips) {
  if (!position_known_) {
    unknown_left_ = twips;
    return;
  }
  window_.move(to_int(twips / twips_per_pixel_x()) - window_.contentsMargins().left(),
               window_.pos().y());
}

void WindowMetrics::set_top(float twips) {
  if (!position_known_) {
    unknown_top_ = twips;
    return;
  }
  window_.move(window_.pos().x(),
               to_int(twips / twips_per_pixel_y()) - window_.contentsMargins().top());
}

void WindowMetrics::set_width(float twips) {
  const QMargins margins = window_.contentsMargins();
  const int frame = window_.frameGeometry().width() - window_.width();
  window_.resize(
      std::max(1, to_int(twips / twips_per_pixel_x()) - frame) + margins.left() + margins.right(),
      window_.height());
}

void WindowMetrics::set_height(float twips) {
  const QMargins margins = window_.contentsMargins();
  const int frame = window_.frameGeometry().height() - window_.height();
  window_.resize(window_.width(), std::max(1, to_int(twips / twips_per_pixel_y()) - frame) +
                                      margins.top() + margins.bottom());
}

std::vector<TwipRect> WindowMetrics::screens() const {
  std::vector<TwipRect> result;
  if (!position_known_) return result;
  for (const QScreen* screen : QGuiApplication::screens())
    result.push_back(to_twips(screen->geometry()));
  return result;
}

TwipRect WindowMetrics::primary_work_area() const {
  const QScreen* primary = QGuiApplication::primaryScreen();
  return primary == nullptr ? TwipRect{} : to_twips(primary->availableGeometry());
}

}  // namespace wavorin
