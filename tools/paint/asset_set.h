#pragma once

#include <QImage>
#include <QString>
#include <array>

namespace wavorin::paint {

// The six pictures of the program, painted together because the animation
// strip and the pressed faces are built from the skin; each also at twice
// the resolution for screens that scale the window by 2.
class AssetSet {
 public:
  AssetSet();

  // Writes skin.png, ani_strip.png and the four pressed faces into `folder`
  // as 24-bit RGB PNGs, then the same six at 2x as skin@2x.png and so on.
  // Returns the name of the first file that could not be written, or an
  // empty string.
  QString write(const QString& folder) const;

  // The resting skin at 2x, for pictures drawn from it (the application
  // icon, whose largest sizes are larger than the 1x skin).
  const QImage& skin() const { return scales_[1].skin; }

 private:
  struct Pictures {
    QImage skin;
    QImage strip;
    std::array<QImage, 4> pressed;
  };
  static Pictures paint_at(int scale);
  static QImage build_strip(const QImage& skin, int scale);
  static QImage build_pressed_face(const QImage& skin, std::size_t button, int scale);
  static QString write_at(const Pictures& pictures, const QString& folder, int scale);

  std::array<Pictures, 2> scales_;  // 1x, 2x
};

}  // namespace wavorin::paint
