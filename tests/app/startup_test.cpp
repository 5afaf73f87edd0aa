#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <tuple>
#include <vector>

#include "platform/runtime_error.h"
#include "tests/app/form_fixture.h"

namespace wavorin::testing {
namespace {

// The window as the user first sees it: at the stored place, cut to the
// cabinet, each button's click image and pressed face on the square where the
// skin draws that button, nothing pressed and nothing ticking.
TEST_F(FormTest, LoadShowsTheCabinetWithEachButtonOnItsSquare) {
  store("MAIN WINDOW X", "300");
  store("MAIN WINDOW Y", "450");
  form.Form_Load();
  EXPECT_EQ(host.Left(), 300);
  EXPECT_EQ(host.Top(), 450);

  struct Point {
    int x, y;
    bool shown;
    const char* where;
  };
  for (const Point& p :
       {Point{112, 0, true, "top of the dome"}, Point{0, 0, false, "corner left of the dome"},
        Point{224, 0, false, "corner right of the dome"},
        Point{10, 50, false, "beside the dome, left"},
        Point{214, 50, false, "beside the dome, right"},
        Point{0, 113, true, "where the body begins, left"},
        Point{224, 326, true, "last row of the body, right"}, Point{0, 331, true, "left foot"},
        Point{24, 327, true, "left foot, inner corner"},
        Point{25, 327, false, "between the feet, left"}, Point{112, 331, false, "between the feet"},
        Point{200, 327, false, "between the feet, right"},
        Point{201, 327, true, "right foot, inner corner"}, Point{224, 331, true, "right foot"},
        Point{112, 332, false, "below the feet"}})
    EXPECT_EQ(host.inside_window_shape(p.x, p.y), p.shown) << p.where << " " << p.x << "," << p.y;
  EXPECT_EQ(host.region_faults, 0) << "a region used after its release, or a wrong mode";
  // Only the outline outlives start-up, and the program keeps it for Close.
  EXPECT_EQ(host.live_regions, (std::set<Handle>{host.window_region}));
  EXPECT_EQ(form.module().win_rgn, host.window_region);

  const struct {
    Element button, pressed;
    float left;
  } squares[] = {{Element::b_ply, Element::p_ply, 25},
                 {Element::b_stp, Element::p_stp, 70},
                 {Element::b_opn, Element::p_opn, 115},
                 {Element::b_cls, Element::p_cls, 160}};
  for (const auto& square : squares) {
    for (const Element e : {square.button, square.pressed}) {
      SCOPED_TRACE(layout::element_name(e));
      ASSERT_EQ(host.placed.count(e), 1U) << "not moved";
      const TwipRect r = host.placed.at(e);
      EXPECT_EQ(r.left, square.left);
      EXPECT_EQ(r.top, 126);
      EXPECT_EQ(r.width, 40);
      EXPECT_EQ(r.height, 40);
      for (const float x : {r.left, r.left + r.width - 1})
        for (const float y : {r.top, r.top + r.height - 1})
          EXPECT_TRUE(host.inside_window_shape(static_cast<int>(x), static_cast<int>(y)))
              << "the outline cuts the button at " << x << "," << y;
    }
  }
  // The strip lies over the whole window, so frame n is read at row 120 n.
  ASSERT_EQ(host.placed.count(Element::ani_p), 1U);
  const TwipRect strip = host.placed.at(Element::ani_p);
  EXPECT_EQ(std::vector<float>({strip.left, strip.top, strip.width, strip.height}),
            std::vector<float>({0, 0, 225, 960}));
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

// At each edge of the screen: a window that only touches the edge from
// outside is off the screen and comes back to the work area; one twip further
// in, it shows a sliver and stays exactly where it was stored.
TEST_F(FormTest, WindowTouchingAScreenEdgeFromOutsideIsOffTheScreen) {
  host.screens = {{1500, 1200, 1920 * 15, 1080 * 15}};
  host.work_area = {1500, 1560, 1920 * 15, 1040 * 15};
  const float width = 225 * 15;  // the fitted window, twips
  const float height = 332 * 15;
  struct Edge {
    const char* name;
    float x, y;        // touching from outside
    float in_x, in_y;  // one twip in
  };
  for (const Edge& e :
       {Edge{"left", 1500 - width, 3000, 1, 0}, Edge{"right", 1500 + 1920 * 15, 3000, -1, 0},
        Edge{"top", 3000, 1200 - height, 0, 1}, Edge{"bottom", 3000, 1200 + 1080 * 15, 0, -1}}) {
    SCOPED_TRACE(e.name);
    store("MAIN WINDOW X", std::to_string(static_cast<int>(e.x)));
    store("MAIN WINDOW Y", std::to_string(static_cast<int>(e.y)));
    form.Form_Load();
    EXPECT_EQ(host.Left(), 1500);
    EXPECT_EQ(host.Top(), 1560);
    store("MAIN WINDOW X", std::to_string(static_cast<int>(e.x + e.in_x)));
    store("MAIN WINDOW Y", std::to_string(static_cast<int>(e.y + e.in_y)));
    form.Form_Load();
    EXPECT_EQ(host.Left(), e.x + e.in_x);
    EXPECT_EQ(host.Top(), e.y + e.in_y);
  }
}

TEST_F(FormTest, PositionOnAMonitorThatIsGoneComesBackToThePrimaryWorkArea) {
  host.work_area = {0, 24 * 15, 1920 * 15, 1000 * 15};  // a panel along the top
  store("MAIN WINDOW X", "40000");                      // was on a second monitor to the right
  store("MAIN WINDOW Y", "300");
  form.Form_Load();
  EXPECT_EQ(host.Left(), 0);
  EXPECT_EQ(host.Top(), 24 * 15);
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

// The window description as the user meets it: each button a click image
// with its tool tip over a hidden pressed face of its own, created after it
// so that it lies on top; the strip hidden; the timer idle until Play. Where
// the controls sit after start-up is checked on the loaded window above.
TEST(WindowDescription, EachButtonIsAClickImageWithItsTipOverAHiddenPressedFace) {
  const WindowDescription d = layout::form1_description();
  EXPECT_EQ(d.title, "Form1");
  EXPECT_FALSE(d.background.empty());
  std::vector<std::string> created;
  for (const ControlDescription& c : d.controls) created.emplace_back(c.name);
  EXPECT_EQ(created,
            (std::vector<std::string>{"Timer1", "ani_p", "CommonDialog1", "p_cls", "p_opn", "p_stp",
                                      "p_ply", "b_cls", "b_opn", "b_stp", "b_ply"}));
  const auto control = [&](Element e) {
    const auto it = std::find_if(d.controls.begin(), d.controls.end(),
                                 [e](const ControlDescription& c) { return c.element == e; });
    return it == d.controls.end() ? ControlDescription{} : *it;
  };
  std::set<std::string> pictures;
  for (const auto& [button, pressed, tip] :
       {std::tuple{Element::b_ply, Element::p_ply, "再生"},
        std::tuple{Element::b_stp, Element::p_stp, "停止"},
        std::tuple{Element::b_opn, Element::p_opn, "ファイルを開く"},
        std::tuple{Element::b_cls, Element::p_cls, "終了"}}) {
    const ControlDescription b = control(button);
    const ControlDescription p = control(pressed);
    SCOPED_TRACE(layout::element_name(button));
    EXPECT_STREQ(b.name, layout::element_name(button));
    EXPECT_STREQ(p.name, layout::element_name(pressed));
    EXPECT_EQ(b.kind, ControlKind::Image);
    EXPECT_TRUE(b.visible);
    EXPECT_TRUE(b.picture.empty()) << "the skin's button must show through";
    EXPECT_EQ(b.tool_tip, tip);
    EXPECT_EQ(p.kind, ControlKind::Image);
    EXPECT_FALSE(p.visible);
    EXPECT_TRUE(p.tool_tip.empty());
    EXPECT_TRUE(!p.picture.empty() && pictures.insert(p.picture).second)
        << "a pressed face without a picture of its own";
  }
  const ControlDescription strip = control(Element::ani_p);
  EXPECT_EQ(strip.kind, ControlKind::PictureBox);
  EXPECT_FALSE(strip.visible);
  EXPECT_TRUE(!strip.picture.empty() && pictures.insert(strip.picture).second);
  const ControlDescription timer = control(Element::Timer1);
  EXPECT_EQ(timer.kind, ControlKind::Timer);
  EXPECT_EQ(timer.interval_ms, 100);
  EXPECT_FALSE(timer.enabled);
  EXPECT_EQ(control(Element::CommonDialog1).kind, ControlKind::FileDialog);

  EXPECT_EQ(d.dialog.title, "Open wave");
  EXPECT_EQ(d.dialog.filter, "(WAVEファイル) *.wav|*.wav");
  EXPECT_EQ(d.dialog.file_name, "*.wav");
  EXPECT_EQ(d.dialog.default_ext, "wav");
  EXPECT_EQ(d.dialog.init_dir, "");
}

}  // namespace
}  // namespace wavorin::testing
