#include <cstdint>
#include <limits>

#include "app/form1.h"
#include "app/layout.h"
#include "platform/runtime_error.h"

namespace wavorin {

namespace {

std::int16_t checked_int16(int value) {
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max())
    throw RuntimeError::Overflow();
  return static_cast<std::int16_t>(value);
}

}  // namespace

// Every button shows its pushed-in face while the click sounds. The click is
// synchronous and blocks painting, so the face is painted before it.
void Form1::press_feedback(Element pressed) {
  host_.set_Visible(pressed, true);
  host_.Refresh(pressed);
  sound_.sndPlaySoundA(data_file(layout::kClickSound), SND_SYNC | SND_NODEFAULT);
  host_.set_Visible(pressed, false);
}

void Form1::b_ply_Click() {
  press_feedback(Element::p_ply);
  sound_.sndPlaySoundA(m_.wav_file, SND_ASYNC | SND_NODEFAULT);
  host_.set_Timer1_Enabled(true);
}

// The frame last drawn stays on the window and the frame counter keeps its
// value, so the next Play goes on from the next frame.
void Form1::b_stp_Click() {
  press_feedback(Element::p_stp);
  sound_.sndPlaySoundA("", SND_SYNC | SND_NODEFAULT);
  host_.set_Timer1_Enabled(false);
}

// One frame every tick. The probe is refused while the chosen sound plays; the
// first tick after it has ended gets through and stops the animation.
void Form1::Timer1_Timer() {
  const Handle window = host_.hDC(Element::Form1);
  const Handle strip = host_.hDC(Element::ani_p);
  const std::int16_t source_y = checked_int16(m_.ani_frame * layout::kFrameHeight);
  host_.BitBlt(window, 0, 0, layout::kFrameWidth, layout::kFrameHeight, strip, 0, source_y,
               SRCCOPY);
  host_.Refresh(Element::Form1);
  m_.ani_frame = checked_int16(m_.ani_frame + 1);
  if (m_.ani_frame > layout::kFrameCount - 1) m_.ani_frame = 0;
  const int idle = sound_.sndPlaySoundA(data_file(layout::kProbeSound), SND_NOSTOP);
  if (idle != 0) host_.set_Timer1_Enabled(false);
}

}  // namespace wavorin
