#pragma once

#include <QRegion>

class QWidget;

namespace wavorin {

// Cuts a shown window's shape on the window system at the device's own
// resolution. Qt scales a widget's mask from window pixels, so at a ratio of
// 2 a round edge would step two device pixels at a time; on X11 the shape is
// set here on the native window instead, pixel for device pixel.
// Returns false where this is not possible (another platform, no SHAPE
// extension, no native window yet); the widget's own mask then stands.
bool set_native_shape(QWidget& window, const QRegion& device);

}  // namespace wavorin
