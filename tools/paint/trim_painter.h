#pragma once

#include <QImage>

namespace wavorin::paint {

// The chrome that frames the cabinet: the side columns with their red
// bands, the base bar and the two feet.
class TrimPainter {
 public:
  void paint(QImage& image) const;

 private:
  void paint_columns(QImage& image) const;
  void paint_bands(QImage& image) const;
  void paint_base(QImage& image) const;
  void paint_feet(QImage& image) const;
};

}  // namespace wavorin::paint
