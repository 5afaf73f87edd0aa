// Prints where the window's buttons are pressed: one "name x y" line per
// button, in pixels of the window's inside once it has placed them, for the
// scripts and benches that click them.
#include <cstdio>

#include "app/layout.h"

int main() {
  for (const wavorin::layout::ButtonPair& button : wavorin::layout::kButtons) {
    const wavorin::layout::PixelPoint centre = wavorin::layout::button_centre(button.button);
    std::printf("%s %d %d\n", wavorin::layout::element_name(button.button), centre.x, centre.y);
  }
  return 0;
}
