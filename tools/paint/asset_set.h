#pragma once

#include <QImage>
#include <QString>
#include <array>

namespace wavorin::paint {

// The six pictures of the program, painted together because the animation
// strip and the pressed faces are built from the skin.
class AssetSet {
 public:
  AssetSet();

  // Writes skin.png, ani_strip.png and the four pressed faces into `folder`
  // as 24-bit RGB PNGs. Returns the name of the first file that could not be
  // written, or an empty string.
  QString write(const QString& folder) const;

  // The resting skin, for pictures drawn from it (the application icon).
  const QImage& skin() const { return skin_; }

 private:
  void build_strip();
  void build_pressed_faces();

  QImage skin_;
  QImage strip_;
  std::array<QImage, 4> pressed_;
};

}  // namespace wavorin::paint
