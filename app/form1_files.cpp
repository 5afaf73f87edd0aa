#include "app/form1.h"
#include "app/layout.h"
#include "app/number_text.h"

namespace wavorin {

namespace {

std::int32_t stored_position(SettingsStore& settings, const char* key) {
  // A value that is not a whole 32-bit number (an empty or hand-edited text)
  // counts as absent, so one bad line cannot stop every later start. It stays
  // in the file until the next Close writes a good one.
  const std::string text =
      settings.GetSetting(layout::kSettingsApp, layout::kSettingsSection, key, "0");
  return text_to_int32(text).value_or(0);
}

}  // namespace

void Form1::load_reg() {
  m_.win_x = stored_position(settings_, layout::kKeyWindowX);
  m_.win_y = stored_position(settings_, layout::kKeyWindowY);
  m_.wav_path = settings_.GetSetting(layout::kSettingsApp, layout::kSettingsSection,
                                     layout::kKeyPath, host_.App_Path());
}

void Form1::save_reg() {
  settings_.SaveSetting(layout::kSettingsApp, layout::kSettingsSection, layout::kKeyWindowX,
                        single_to_text(host_.Left()));
  settings_.SaveSetting(layout::kSettingsApp, layout::kSettingsSection, layout::kKeyWindowY,
                        single_to_text(host_.Top()));
  settings_.SaveSetting(layout::kSettingsApp, layout::kSettingsSection, layout::kKeyPath,
                        m_.wav_path);
}

// The chosen file becomes the current sound; nothing plays until Play. An
// empty name (Cancel) changes nothing.
void Form1::b_opn_Click() {
  press_feedback(Element::p_opn);
  dialog_.set_InitDir(m_.wav_path);
  dialog_.ShowOpen();
  if (dialog_.FileName() != "") {
    m_.wav_file = dialog_.FileName();
    m_.wav_path = dialog_.InitDir();
  }
}

}  // namespace wavorin
