#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPointF>

// The materials of the cabinet's metal parts, lit by one warm lamp from the
// upper left.
namespace wavorin::paint::chrome {

enum class Finish { Chrome, RedBand, Gold };

// Where chrome meets another material.
inline const QColor kEdgeLine{35, 38, 45};

// The colour across a tube's width: `across` runs from 0 on the side facing
// the lamp to 1 on the far side.
QColor profile(Finish finish, double across);

// A gradient with the same stops, from the lit edge to the far edge.
QLinearGradient gradient(Finish finish, QPointF lit_edge, QPointF far_edge);

// Straight blend of two colours; t = 0 gives `a`.
QColor mix(const QColor& a, const QColor& b, double t);
QColor scaled(const QColor& c, double factor);
QColor with_alpha(const QColor& c, int alpha);

}  // namespace wavorin::paint::chrome
