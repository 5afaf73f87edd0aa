#pragma once

#include <QRegion>

class QWidget;

namespace wavorin {

// Cuts a window's shape on the X server at the device's own resolution: the
// pixels it shows (`bounding`) and, separately, the pixels that take the
// mouse (`input`), so that a click beside the outline reaches the window
// behind even where a compositor draws the window from its own picture. Qt
// scales a widget's mask from window pixels and sets no input shape, so both
// are set here on the native window, pixel for device pixel.
// Returns false where this is not possible (another platform, no SHAPE
// extension, no native window yet).
bool set_native_shape(QWidget& window, const QRegion& bounding, const QRegion& input);

// Takes both shapes off again: the whole window shows and takes the mouse.
void clear_native_shape(QWidget& window);

}  // namespace wavorin
