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

// Tells an X11 desktop that the window draws its own edge and its own
// shadow in `margin` device pixels around what the window is
// (_GTK_FRAME_EXTENTS: left, right, top, bottom): the window manager places,
// snaps and constrains the window inside the margin, and a compositor that
// shadows windows' rectangles leaves such a window alone, as it would darken
// the desktop around the round cabinet where there is no cabinet.
void set_draws_own_edge(QWidget& window, bool own_edge, int margin = 0);

// Tells an X11 compositor that the window is wholly opaque
// (_NET_WM_WINDOW_OPACITY of 0xffffffff), which changes nothing in how it
// looks: its alpha still blends the edge. xcompmgr (1.1.8) works out a
// shadow for a window manager's frame already when the frame is sized before
// it is shown, before it has looked at the frame's visual; it then keeps that
// box-shaped shadow under a window with alpha, dark in the cut-away corners
// and left behind by every move, until the frame's opacity changes. The
// window manager copies the property to its frame (openbox does); a
// compositor hears of the change only once it watches the frame's
// properties, which it begins when it sees the frame shown.
void announce_opaque(QWidget& window);

// Whether some client watches the properties of the window's outermost
// window below the root (a window manager's frame, or the window itself):
// a compositor does once it has taken the window in. False where unknown.
bool frame_properties_watched(QWidget& window);

}  // namespace wavorin
