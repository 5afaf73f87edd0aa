#pragma once

#include <cstdint>
#include <string>

namespace wavorin {

// The handlers the host raises, one at a time, on the window's event thread.
class FormEvents {
 public:
  virtual ~FormEvents() = default;

  // Raised once, after the controls exist and before the window is first shown.
  virtual void Form_Load() = 0;
  // Button is the set of mouse buttons held: bit 0 left, bit 1 right, bit 2
  // middle. X and Y are pixels of the window's inside.
  virtual void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) = 0;
  virtual void b_ply_Click() = 0;
  virtual void b_stp_Click() = 0;
  virtual void b_opn_Click() = 0;
  virtual void b_cls_Click() = 0;
  virtual void Timer1_Timer() = 0;
  // A file handed to the program from outside (its command line, a drop on
  // the window): chosen as Open would choose it, then played as Play would
  // play it, without the key click, since no button was pressed.
  virtual void play_file(const std::string& path) = 0;
};

}  // namespace wavorin
