#pragma once

#include <cstdint>
#include <string>

#include "app/module1.h"
#include "platform/common_dialog.h"
#include "platform/form_events.h"
#include "platform/settings_store.h"
#include "platform/sound_out.h"
#include "platform/window_description.h"
#include "platform/window_host.h"

namespace wavorin {

// The one window of the program: its handlers and the two settings procedures.
// It reaches the outside only through the platform interfaces it is given.
class Form1 : public FormEvents {
 public:
  Form1(WindowHost& host, SoundOut& sound, SettingsStore& settings, CommonDialog& dialog);

  void Form_Load() override;
  void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
  void b_ply_Click() override;
  void b_stp_Click() override;
  void b_opn_Click() override;
  void b_cls_Click() override;
  void Timer1_Timer() override;
  void play_file(const std::string& path) override;

  // Writes the window position and the dialog's folder to the settings.
  void save_reg();

  const Module1& module() const { return m_; }

 private:
  void load_reg();
  void fit_inside_size();
  void keep_on_a_screen();
  void place_controls();
  void cut_outline();
  void press_feedback(Element pressed);
  std::string data_file(const char* name) const;

  WindowHost& host_;
  SoundOut& sound_;
  SettingsStore& settings_;
  CommonDialog& dialog_;
  Module1 m_;
};

}  // namespace wavorin
