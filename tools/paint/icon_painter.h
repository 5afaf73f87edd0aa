#pragma once

#include <QImage>
#include <QString>

namespace wavorin::paint {

// The application icon: the jukebox on a transparent square. From 48 pixels
// up it is the skin itself (the finest one painted), cut to the window's outline and scaled; below,
// where the skin's detail would blur into a smudge, a simpler drawing of the
// same cabinet with bold shapes: chrome arch, lit dome, button plate, wood.
class IconPainter {
 public:
  explicit IconPainter(const QImage& skin) : skin_(skin) {}

  QImage paint(int size) const;
  // Writes <folder>/<size>/<application id>.png for every theme size.
  // Returns the first file that could not be written, or an empty string.
  QString write(const QString& folder) const;

 private:
  QImage from_skin(int size) const;
  static QImage simple(int size);

  QImage skin_;
};

}  // namespace wavorin::paint
