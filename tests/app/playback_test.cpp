#include <gtest/gtest.h>

#include "tests/app/form_fixture.h"

namespace wavorin::testing {
namespace {

const std::string kClick = "snd \"/opt/wavorin/click.wav\" 2";
const std::string kProbe = "snd \"/opt/wavorin/dummy.wav\" 16";

TEST_F(FormTest, PlayShowsThePressedLookDuringTheClickThenPlaysAndStartsTheTimer) {
  load();
  form.b_ply_Click();
  EXPECT_EQ(log, (CallLog{"Visible p_ply 1", "Refresh p_ply", kClick, "Visible p_ply 0",
                          "snd \"/opt/wavorin/sample1.wav\" 3", "Timer1 on"}));
}

TEST_F(FormTest, StopClicksStopsTheSoundAndTheTimer) {
  load();
  form.b_ply_Click();
  log.clear();
  form.b_stp_Click();
  EXPECT_EQ(log, (CallLog{"Visible p_stp 1", "Refresh p_stp", kClick, "Visible p_stp 0",
                          "snd \"\" 2", "Timer1 off"}));
}

TEST_F(FormTest, EveryButtonLeavesNoPressedLookBehind) {
  load();
  form.b_ply_Click();
  form.b_stp_Click();
  dialog.choose = "";
  form.b_opn_Click();
  form.b_cls_Click();
  for (const auto& [element, shown] : host.visible) EXPECT_FALSE(shown);
  EXPECT_EQ(host.visible.size(), 4U);
}

TEST_F(FormTest, TicksDrawFramesInOrderAndStopAndPlayDoNotResetTheCounter) {
  load();
  sound.busy = true;  // the chosen sound is playing
  form.b_ply_Click();
  for (int i = 0; i < 3; ++i) form.Timer1_Timer();
  form.b_stp_Click();
  form.b_ply_Click();
  for (int i = 0; i < 2; ++i) form.Timer1_Timer();
  EXPECT_EQ(frames_drawn(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(host.timer_enabled);
}

TEST_F(FormTest, AfterTheLastFrameComesTheFirst) {
  load();
  sound.busy = true;
  for (int i = 0; i < 10; ++i) form.Timer1_Timer();
  EXPECT_EQ(frames_drawn(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1}));
  EXPECT_EQ(form.module().ani_frame, 2);
}

TEST_F(FormTest, TickCopiesOneFrameToTheTopShowsItThenProbes) {
  load();
  sound.busy = true;
  form.Timer1_Timer();
  form.Timer1_Timer();
  EXPECT_EQ(log, (CallLog{"BitBlt 8 0,0,225,120 9 0,0 SRCCOPY", "Refresh Form1", kProbe,
                          "BitBlt 8 0,0,225,120 9 0,120 SRCCOPY", "Refresh Form1", kProbe}));
}

TEST_F(FormTest, FirstTickAfterTheSoundEndsDrawsOneMoreFrameAndStops) {
  load();
  sound.busy = true;
  form.b_ply_Click();
  form.Timer1_Timer();
  sound.busy = false;  // the sound has ended
  log.clear();
  form.Timer1_Timer();
  EXPECT_EQ(log, (CallLog{"BitBlt 8 0,0,225,120 9 0,120 SRCCOPY", "Refresh Form1", kProbe,
                          "Timer1 off"}));
  // A later Play goes on from the next frame.
  form.b_ply_Click();
  form.Timer1_Timer();
  EXPECT_EQ(frames_drawn().back(), 2);
}

TEST_F(FormTest, UnplayableFilePlaysNothingAndTheFirstTickStopsTheAnimation) {
  load();
  dialog.choose = "/tmp/not a wave.txt";
  sound.unplayable.insert("/tmp/not a wave.txt");
  form.b_opn_Click();
  form.b_ply_Click();  // the service plays nothing, so it stays idle
  EXPECT_TRUE(host.timer_enabled) << "Play starts the animation whatever the service says";
  form.Timer1_Timer();
  EXPECT_FALSE(host.timer_enabled);
  EXPECT_EQ(frames_drawn(), (std::vector<int>{0}));
}

TEST_F(FormTest, DragStartsOnlyWithTheLeftButtonHeld) {
  load();
  form.Form_MouseMove(0, 0, 10, 10);
  form.Form_MouseMove(2, 0, 10, 10);  // right
  form.Form_MouseMove(4, 0, 10, 10);  // middle
  form.Form_MouseMove(6, 1, 10, 10);
  EXPECT_TRUE(log.empty());
  form.Form_MouseMove(1, 0, 10, 10);
  form.Form_MouseMove(3, 0, 200, 300);  // left with right
  EXPECT_EQ(log, (CallLog{"ReleaseCapture", "SendMessageA 7 161 2 0", "ReleaseCapture",
                          "SendMessageA 7 161 2 0"}));
}

TEST_F(FormTest, CloseClicksReleasesTheOutlineSavesAndEnds) {
  load();
  host.left = 1500;
  host.top = 3000;
  const std::string release_outline = "DeleteObject " + std::to_string(host.window_region);
  form.b_cls_Click();
  // The settings are written before the end, which runs nothing more.
  EXPECT_EQ(log,
            (CallLog{"Visible p_cls 1", "Refresh p_cls", kClick, "Visible p_cls 0", release_outline,
                     "SaveSetting MAIN WINDOW X=1500", "SaveSetting MAIN WINDOW Y=3000",
                     "SaveSetting Path=/opt/wavorin", "End"}));
  EXPECT_TRUE(host.ended);
  EXPECT_TRUE(host.live_regions.empty());
  EXPECT_EQ(stored("MAIN WINDOW X"), "1500");
  EXPECT_EQ(stored("MAIN WINDOW Y"), "3000");
}

TEST_F(FormTest, OpenWithAChosenFileMakesItCurrentAndRemembersItsFolder) {
  load();
  dialog.choose = "/music/ジュークボックス/song one.wav";
  form.b_opn_Click();
  EXPECT_EQ(log, (CallLog{"Visible p_opn 1", "Refresh p_opn", kClick, "Visible p_opn 0",
                          "InitDir /opt/wavorin", "ShowOpen"}));
  EXPECT_EQ(form.module().wav_file, "/music/ジュークボックス/song one.wav");
  EXPECT_EQ(form.module().wav_path, "/music/ジュークボックス");

  log.clear();
  form.b_ply_Click();
  EXPECT_EQ(calls_starting_with("snd").back(), "snd \"/music/ジュークボックス/song one.wav\" 3");

  // The next dialog starts where the last file was found.
  dialog.choose = "";
  form.b_opn_Click();
  EXPECT_EQ(dialog.InitDir(), "/music/ジュークボックス");
}

TEST_F(FormTest, CancelChangesNothing) {
  load();
  dialog.choose = "/music/a.wav";
  form.b_opn_Click();
  dialog.choose.reset();  // Cancel, or the dialog closed by its window
  form.b_opn_Click();
  EXPECT_EQ(form.module().wav_file, "/music/a.wav");
  EXPECT_EQ(form.module().wav_path, "/music");
}

// A file from the command line or a drop: chosen as Open chooses and played as
// Play plays, but without a pressed face or a click, since no button was used.
TEST_F(FormTest, AFileFromOutsideIsChosenAndPlayedWithoutAClick) {
  load();
  form.play_file("/music/ジュークボックス/song one.wav");
  EXPECT_EQ(log, (CallLog{"snd \"/music/ジュークボックス/song one.wav\" 3", "Timer1 on"}));
  EXPECT_EQ(form.module().wav_path, "/music/ジュークボックス");
  log.clear();
  form.b_ply_Click();
  EXPECT_EQ(calls_starting_with("snd").back(), "snd \"/music/ジュークボックス/song one.wav\" 3");

  form.play_file("/top.wav");
  EXPECT_EQ(form.module().wav_path, "/");
}

TEST_F(FormTest, OpenWhilePlayingEndsTheSoundAtTheClickAndLeavesTheTimer) {
  load();
  sound.busy = true;
  form.b_ply_Click();
  dialog.choose = "";
  log.clear();
  form.b_opn_Click();
  EXPECT_EQ(calls_starting_with("snd"), (CallLog{kClick}));
  EXPECT_TRUE(host.timer_enabled);
}

}  // namespace
}  // namespace wavorin::testing
