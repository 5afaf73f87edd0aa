#include <gtest/gtest.h>

#include "tests/app/form_fixture.h"

namespace wavorin::testing {
namespace {

TEST_F(FormTest, LoadPlacesSizesAndCutsTheWindowInOrder) {
  store("MAIN WINDOW X", "300");
  store("MAIN WINDOW Y", "450");
  form.Form_Load();

  EXPECT_EQ(log, (CallLog{
                     "set_Left 300",
                     "set_Top 450",
                     "set_Width 3375",
                     "set_Height 4980",
                     "Move b_ply 25,126,40,40",
                     "Move p_ply 25,126,40,40",
                     "Move b_stp 70,126,40,40",
                     "Move p_stp 70,126,40,40",
                     "Move b_opn 115,126,40,40",
                     "Move p_opn 115,126,40,40",
                     "Move b_cls 160,126,40,40",
                     "Move p_cls 160,126,40,40",
                     "Move ani_p 0,0,225,960",
                     "CreateEllipse 0,0,226,226 -> 100",
                     "CreateRect 0,113,226,327 -> 101",
                     "CreateRect 0,327,25,332 -> 102",
                     "CreateRect 201,327,226,332 -> 103",
                     "CreateRect 0,0,226,330 -> 104",
                     "CombineRgn 104 100 101 2",
                     "CombineRgn 104 104 102 2",
                     "CombineRgn 104 104 103 2",
                     "SetWindowRgn 7 104 1",
                     "DeleteObject 100",
                     "DeleteObject 101",
                     "DeleteObject 102",
                     "DeleteObject 103",
                 }));
  // Only the outline survives start-up, and the program keeps it.
  EXPECT_EQ(host.live_regions, (std::set<Handle>{104}));
  EXPECT_EQ(form.module().win_rgn, 104U);
  EXPECT_FALSE(host.timer_enabled);
  EXPECT_TRUE(host.visible.empty()) << "no pressed look is shown at start";
}

struct FitCase {
  float tpp;
  int inside_w, inside_h, frame_w, frame_h;
};

class FitTest : public FormTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(FitTest, InsideIsExactlyTheSkinWhateverTheStartingSizeAndScale) {
  const FitCase c = GetParam();
  host.tpp_x = host.tpp_y = c.tpp;
  host.inside_w = c.inside_w;
  host.inside_h = c.inside_h;
  host.frame_w = c.frame_w;
  host.frame_h = c.frame_h;
  form.Form_Load();
  EXPECT_EQ(host.ScaleWidth(), 225);
  EXPECT_EQ(host.ScaleHeight(), 332);
  EXPECT_FLOAT_EQ(host.Width(), static_cast<float>(225 + c.frame_w) * c.tpp);
}

INSTANTIATE_TEST_SUITE_P(Scales, FitTest,
                         ::testing::Values(FitCase{15, 470, 356, 0, 0},
                                           FitCase{12, 470, 356, 0, 0},
                                           FitCase{12, 10, 10, 8, 30},
                                           FitCase{15, 225, 332, 0, 0},
                                           FitCase{7.5F, 1000, 2000, 2, 2},
                                           FitCase{20, 1, 1, 0, 0}));

TEST_F(FormTest, ProgramFolderIsJoinedByPlainConcatenation) {
  form.Form_Load();
  EXPECT_EQ(form.module().wav_file, "/opt/wavorin/sample1.wav");

  CallLog other_log;
  FakeWindowHost trailing(other_log);
  trailing.app_path = "/opt/wavorin/";
  Form1 second(trailing, sound, settings, dialog);
  second.Form_Load();
  EXPECT_EQ(second.module().wav_file, "/opt/wavorin//sample1.wav");
}

TEST_F(FormTest, FirstRunOpensAtTheScreenOriginAndDialogStartsInProgramFolder) {
  form.Form_Load();
  EXPECT_EQ(host.Left(), 0);
  EXPECT_EQ(host.Top(), 0);
  EXPECT_EQ(form.module().wav_path, "/opt/wavorin");
}

TEST_F(FormTest, PositionPartlyOnAScreenIsKeptExactlyAsStored) {
  // Hanging over the left and top edges, and over the right edge of the only
  // screen: each still shows part of the window.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{
           {-1500, -600}, {-3374, 0}, {1919 * 15, 1079 * 15}}) {
    store("MAIN WINDOW X", std::to_string(x));
    store("MAIN WINDOW Y", std::to_string(y));
    form.Form_Load();
    EXPECT_EQ(host.Left(), static_cast<float>(x));
    EXPECT_EQ(host.Top(), static_cast<float>(y));
  }
}

TEST_F(FormTest, PositionOnAMonitorThatIsGoneComesBackToThePrimaryWorkArea) {
  host.work_area = {0, 24 * 15, 1920 * 15, 1000 * 15};  // a panel along the top
  store("MAIN WINDOW X", "40000");  // was on a second monitor to the right
  store("MAIN WINDOW Y", "300");
  form.Form_Load();
  EXPECT_EQ(host.Left(), 0);
  EXPECT_EQ(host.Top(), 24 * 15);

  // Wholly left of the screen by one pixel more than the window's width.
  store("MAIN WINDOW X", std::to_string(-226 * 15));
  store("MAIN WINDOW Y", "0");
  form.Form_Load();
  EXPECT_EQ(host.Left(), 0);
}

TEST_F(FormTest, SecondScreenKeepsAPositionOnIt) {
  host.screens.push_back({1920 * 15, 0, 1280 * 15, 1024 * 15});
  store("MAIN WINDOW X", "40000");
  form.Form_Load();
  EXPECT_EQ(host.Left(), 40000);
}

}  // namespace
}  // namespace wavorin::testing
