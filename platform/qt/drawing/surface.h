#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace wavorin {

// Drawing surfaces (the window's retained image, picture boxes) are all
// Format_RGB32, so a block copy is a plain row copy with no conversion.
constexpr QImage::Format kSurfaceFormat = QImage::Format_RGB32;

// The colour of a surface where no picture lies: the window face grey.
QColor surface_background();

// A surface of `size` with `picture` drawn at its top-left at its own size
// (not stretched) and the rest filled with the background. A null picture
// gives a plain background.
QImage make_surface(QSize size, const QImage& picture);

// Enlarges `surface` to at least `size`, keeping every pixel it holds; the new
// area is background. Never shrinks.
void grow_surface(QImage& surface, QSize size);

// Copies the `width` x `height` block at (src_x, src_y) of `src` unchanged to
// (x, y) of `dest`, clipped to both surfaces. `src` may be `dest`. Returns the
// rectangle of `dest` that was written (empty when clipped away).
QRect copy_block(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
                 int src_y);

}  // namespace wavorin
