#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

#include "platform/runtime_error.h"
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
                         ::testing::Values(FitCase{15, 470, 356, 0, 0}, FitCase{12, 470, 356, 0, 0},
                                           FitCase{12, 10, 10, 8, 30}, FitCase{15, 225, 332, 0, 0},
                                           FitCase{7.5F, 1000, 2000, 2, 2},
                                           FitCase{20, 1, 1, 0, 0}));

// A screen factor the arithmetic cannot work with ends the program through
// the runtime's error report, before any size is set.
TEST_F(FormTest, FitThatIsNotANumberOrOverflowsIsARunTimeError) {
  struct Bad {
    const char* what;
    float tpp_x, tpp_y;
    int inside_w;
  };
  const float huge = 3e38F;  // the outer width still fits a float; the fitted one does not
  for (const Bad& bad :
       {Bad{"invalid x", std::nanf(""), 15, 470}, Bad{"invalid y", 15, std::nanf(""), 470},
        Bad{"infinite", 1.0F / 0.0F, 15, 470}, Bad{"overflow", huge, 15, 1}}) {
    CallLog bad_log;
    FakeWindowHost bad_host(bad_log);
    bad_host.tpp_x = bad.tpp_x;
    bad_host.tpp_y = bad.tpp_y;
    bad_host.inside_w = bad.inside_w;
    Form1 bad_form(bad_host, sound, settings, dialog);
    try {
      bad_form.Form_Load();
      ADD_FAILURE() << bad.what << ": no run-time error";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), 6) << bad.what;
    }
    for (const std::string& call : bad_log)
      EXPECT_TRUE(call.rfind("set_Width", 0) != 0 || bad.what == std::string("invalid y"))
          << bad.what << ": " << call;
    EXPECT_TRUE(std::none_of(bad_log.begin(), bad_log.end(), [](const std::string& c) {
      return c.rfind("set_Height", 0) == 0;
    })) << bad.what;
  }
}
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
  for (const auto& [x, y] :
       std::vector<std::pair<int, int>>{{-1500, -600}, {-3374, 0}, {1919 * 15, 1079 * 15}}) {
    store("MAIN WINDOW X", std::to_string(x));
    store("MAIN WINDOW Y", std::to_string(y));
    form.Form_Load();
    EXPECT_EQ(host.Left(), static_cast<float>(x));
    EXPECT_EQ(host.Top(), static_cast<float>(y));
  }
}

TEST_F(FormTest, PositionOnAMonitorThatIsGoneComesBackToThePrimaryWorkArea) {
  host.work_area = {0, 24 * 15, 1920 * 15, 1000 * 15};  // a panel along the top
  store("MAIN WINDOW X", "40000");                      // was on a second monitor to the right
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

// The check is made on the window as it will be shown: after the fit.
TEST_F(FormTest, OnScreenCheckLooksAtTheFittedWindow) {
  // 470 px wide as stored, 225 px once fitted: only the stored width reaches
  // the screen from 300 px left of it.
  store("MAIN WINDOW X", std::to_string(-300 * 15));
  form.Form_Load();
  EXPECT_EQ(host.Left(), 0);

  // 100 px wide before the fit: only the fitted width reaches the screen.
  CallLog narrow_log;
  FakeWindowHost narrow(narrow_log);
  narrow.inside_w = 100;
  store("MAIN WINDOW X", std::to_string(-150 * 15));
  Form1 second(narrow, sound, settings, dialog);
  second.Form_Load();
  EXPECT_EQ(narrow.Left(), -150 * 15);
}

TEST_F(FormTest, SecondScreenKeepsAPositionOnIt) {
  host.screens.push_back({1920 * 15, 0, 1280 * 15, 1024 * 15});
  store("MAIN WINDOW X", "40000");
  form.Form_Load();
  EXPECT_EQ(host.Left(), 40000);
}

// The window description against the window as designed, its figures
// written out here rather than taken from the program.
TEST(WindowDescription, MatchesTheDesignedWindowControlByControl) {
  struct Expected {
    Element element;
    const char* name;
    ControlKind kind;
    TwipRect stored;
    bool visible;
    bool has_picture;
    const char* tool_tip;
  };
  const Expected expected[] = {
      {Element::Timer1, "Timer1", ControlKind::Timer, {}, false, false, ""},
      {Element::ani_p, "ani_p", ControlKind::PictureBox, {2880, 0, 3375, 14400}, false, true, ""},
      {Element::CommonDialog1, "CommonDialog1", ControlKind::FileDialog, {}, false, false, ""},
      {Element::p_cls, "p_cls", ControlKind::Image, {1800, 4560, 600, 600}, false, true, ""},
      {Element::p_opn, "p_opn", ControlKind::Image, {1200, 4560, 600, 600}, false, true, ""},
      {Element::p_stp, "p_stp", ControlKind::Image, {600, 4560, 600, 600}, false, true, ""},
      {Element::p_ply, "p_ply", ControlKind::Image, {0, 4560, 600, 600}, false, true, ""},
      {Element::b_cls, "b_cls", ControlKind::Image, {1800, 3960, 492, 492}, true, false, "終了"},
      {Element::b_opn,
       "b_opn",
       ControlKind::Image,
       {1200, 3960, 492, 492},
       true,
       false,
       "ファイルを開く"},
      {Element::b_stp, "b_stp", ControlKind::Image, {600, 3960, 492, 492}, true, false, "停止"},
      {Element::b_ply, "b_ply", ControlKind::Image, {0, 3960, 492, 492}, true, false, "再生"},
  };
  const WindowDescription d = layout::form1_description();
  EXPECT_EQ(d.title, "Form1");
  EXPECT_EQ(d.stored_inside_width_px, 470);
  EXPECT_EQ(d.stored_inside_height_px, 356);
  EXPECT_FALSE(d.background.empty());
  ASSERT_EQ(d.controls.size(), std::size(expected));
  for (std::size_t i = 0; i < d.controls.size(); ++i) {
    const ControlDescription& c = d.controls[i];
    const Expected& e = expected[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(c.element, e.element);
    EXPECT_STREQ(c.name, e.name);
    EXPECT_EQ(c.kind, e.kind);
    EXPECT_EQ(c.stored.left, e.stored.left);
    EXPECT_EQ(c.stored.top, e.stored.top);
    EXPECT_EQ(c.stored.width, e.stored.width);
    EXPECT_EQ(c.stored.height, e.stored.height);
    if (c.kind == ControlKind::Image || c.kind == ControlKind::PictureBox) {
      EXPECT_EQ(c.visible, e.visible);
    }
    EXPECT_EQ(!c.picture.empty(), e.has_picture);
    EXPECT_EQ(c.tool_tip, e.tool_tip);
    // Only the timer ticks, every 100 ms, and not before Play.
    EXPECT_EQ(c.interval_ms, c.kind == ControlKind::Timer ? 100 : 0);
    EXPECT_FALSE(c.enabled);
  }
  // Each pressed face is its own picture.
  std::set<std::string> pictures;
  for (const ControlDescription& c : d.controls)
    if (!c.picture.empty()) {
      EXPECT_TRUE(pictures.insert(c.picture).second) << c.picture;
    }

  EXPECT_EQ(d.dialog.title, "Open wave");
  EXPECT_EQ(d.dialog.filter, "(WAVEファイル) *.wav|*.wav");
  EXPECT_EQ(d.dialog.file_name, "*.wav");
  EXPECT_EQ(d.dialog.default_ext, "wav");
  EXPECT_EQ(d.dialog.init_dir, "");
}

}  // namespace
}  // namespace wavorin::testing
