#pragma once

#include <QRegion>
#include <optional>

class QWidget;

namespace wavorin {

// Cuts a window's shape on the X server at the device's own resolution: the
// pixels it shows (`bounding`; none: the whole window, its alpha doing the
// rest) and, separately, the pixels that take the mouse (`input`), so that a
// click beside the outline reaches the window behind even where a compositor
// draws the window from its own picture. Qt scales a widget's mask from
// window pixels and sets no input shape, so both are set here on the native
// window, pixel for device pixel.
// Returns false where this is not possible (another platform, no SHAPE
// extension, no native window yet).
bool set_native_shape(QWidget& window, const std::optional<QRegion>& bounding,
                      const QRegion& input);

// Takes both shapes off again: the whole window shows and takes the mouse.
void clear_native_shape(QWidget& window);

// Tells an X11 compositor that the window draws its own edge, with no room
// for a shadow around it (_GTK_FRAME_EXTENTS of 0): a compositor shadows a
// window's rectangle, which around the round cabinet would darken the
// desktop where there is no cabinet.
void set_draws_own_edge(QWidget& window, bool own_edge);

}  // namespace wavorin
