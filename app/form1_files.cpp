#include "app/form1.h"
#include "app/layout.h"
#include "app/number_text.h"
#include "platform/sound_out.h"

namespace wavorin {

namespace {

// The folder part of a full path, without a trailing separator (but "/" for
// a file at the root), as the dialog reports its folder.
std::string folder_of(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

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

// The dialog's folder follows the file, as after Open; the sound is requested
// exactly as Play requests it, so a file that cannot be played leaves the
// service idle and the first tick stops the animation.
void Form1::play_file(const std::string& path) {
  m_.wav_file = path;
  const std::string folder = folder_of(path);
  if (!folder.empty()) m_.wav_path = folder;
  sound_.sndPlaySoundA(m_.wav_file, SND_ASYNC | SND_NODEFAULT);
  host_.set_Timer1_Enabled(true);
}

}  // namespace wavorin
