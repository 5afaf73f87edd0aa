#include <gtest/gtest.h>

#include "tests/app/form_fixture.h"

namespace wavorin::testing {
namespace {

const std::string kClick = "snd \"/opt/wavorin/click.wav\" 2";
const std::string kProbe = "snd \"/opt/wavorin/dummy.wav\" 16";

// The press feedback as the user meets it: the face shown and painted, the
// click, the face hidden. Here the order is the behaviour.
CallLog pressed(const std::string& face) {
  return {"Visible " + face + " 1", "Refresh " + face, kClick, "Visible " + face + " 0"};
}

// What the log shows of `face`'s feedback, in order.
CallLog feedback(const CallLog& log, const std::string& face) {
  const CallLog steps = pressed(face);
  CallLog seen;
  for (const auto& call : log)
    if (std::find(steps.begin(), steps.end(), call) != steps.end()) seen.push_back(call);
  return seen;
}

TEST_F(FormTest, PlayAndStopPressTheirFaceDuringTheClickThenPlayOrStop) {
  load();
  form.b_ply_Click();
  EXPECT_EQ(feedback(log, "p_ply"), pressed("p_ply"));
  EXPECT_EQ(calls_starting_with("snd"), (CallLog{kClick, "snd \"/opt/wavorin/sample1.wav\" 3"}));
  EXPECT_TRUE(host.timer_enabled);
  log.clear();
  form.b_stp_Click();
  EXPECT_EQ(feedback(log, "p_stp"), pressed("p_stp"));
  EXPECT_EQ(calls_starting_with("snd"), (CallLog{kClick, "snd \"\" 2"}));
  EXPECT_FALSE(host.timer_enabled);
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
  EXPECT_EQ(calls_starting_with("Refresh Form1").size(), 5U) << "a frame drawn but not shown";
  EXPECT_EQ(calls_starting_with(kProbe).size(), 5U);
  EXPECT_TRUE(host.timer_enabled);
}

TEST_F(FormTest, AfterTheLastFrameComesTheFirst) {
  load();
  sound.busy = true;
  for (int i = 0; i < 10; ++i) form.Timer1_Timer();
  EXPECT_EQ(frames_drawn(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1}));
  EXPECT_EQ(form.module().ani_frame, 2);
}

TEST_F(FormTest, FirstTickAfterTheSoundEndsDrawsOneMoreFrameAndStops) {
  load();
  sound.busy = true;
  form.b_ply_Click();
  form.Timer1_Timer();
  sound.busy = false;  // the sound has ended
  form.Timer1_Timer();
  EXPECT_EQ(frames_drawn(), (std::vector<int>{0, 1}));
  EXPECT_EQ(log.back(), "Timer1 off") << "the timer stopped before the last frame";
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
  form.b_cls_Click();
  EXPECT_EQ(feedback(log, "p_cls"), pressed("p_cls"));
  EXPECT_TRUE(host.live_regions.empty());
  EXPECT_EQ(stored("MAIN WINDOW X"), "1500");
  EXPECT_EQ(stored("MAIN WINDOW Y"), "3000");
  EXPECT_EQ(stored("Path"), "/opt/wavorin");
  // The settings are written before the end, which runs nothing more.
  EXPECT_TRUE(host.ended);
  EXPECT_EQ(log.back(), "End");
}

TEST_F(FormTest, OpenWithAChosenFileMakesItCurrentAndRemembersItsFolder) {
  load();
  dialog.choose = "/music/ジュークボックス/song one.wav";
  form.b_opn_Click();
  EXPECT_EQ(feedback(log, "p_opn"), pressed("p_opn"));
  EXPECT_EQ(form.module().wav_file, "/music/ジュークボックス/song one.wav");
  EXPECT_EQ(form.module().wav_path, "/music/ジュークボックス");

  log.clear();
  form.b_ply_Click();
  EXPECT_EQ(calls_starting_with("snd").back(), "snd \"/music/ジュークボックス/song one.wav\" 3");

  // The next dialog starts where the last file was found.
  dialog.choose = "";
  form.b_opn_Click();
  EXPECT_EQ(dialog.opened_in,
            (std::vector<std::string>{"/opt/wavorin", "/music/ジュークボックス"}));
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
  EXPECT_EQ(calls_starting_with("snd"),
            (CallLog{"snd \"/music/ジュークボックス/song one.wav\" 3"}));
  EXPECT_TRUE(calls_starting_with("Visible").empty());
  EXPECT_TRUE(host.timer_enabled);
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
