#pragma once

#include <QByteArray>
#include <QImage>

namespace wavorin {

// A picture as raw pixels, built into the program beside its PNG for the
// pictures the first paint needs: copying them costs nothing, decoding a PNG
// a few ms. A 16-byte header ("WVR1", then width, height and bytes per row
// as 32-bit numbers) and premultiplied ARGB32 rows, all in the byte order of
// the machine that builds (and runs) the program.
QByteArray to_raw_picture(const QImage& picture);

// The picture, or a null image when `data` is not a whole raw picture.
QImage from_raw_picture(const uchar* data, qint64 size);

}  // namespace wavorin
