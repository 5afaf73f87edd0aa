#include <gtest/gtest.h>

#include "app/number_text.h"
#include "tests/app/form_fixture.h"

namespace wavorin::testing {
namespace {

TEST_F(FormTest, CloseRightAfterFirstStartWritesOriginAndProgramFolder) {
  load();
  form.b_cls_Click();
  EXPECT_EQ(stored("MAIN WINDOW X"), "0");
  EXPECT_EQ(stored("MAIN WINDOW Y"), "0");
  EXPECT_EQ(stored("Path"), "/opt/wavorin");
}

TEST_F(FormTest, PositionRoundTripsThroughCloseAndNextStart) {
  load();
  host.left = -1500;  // the user dragged it partly off the left edge
  host.top = 7215;
  form.b_cls_Click();
  EXPECT_EQ(stored("MAIN WINDOW X"), "-1500");
  EXPECT_EQ(stored("MAIN WINDOW Y"), "7215");

  CallLog next_log;
  FakeWindowHost next_host(next_log);
  Form1 next(next_host, sound, settings, dialog);
  next.Form_Load();
  EXPECT_EQ(next.module().win_x, -1500);
  EXPECT_EQ(next.module().win_y, 7215);
  EXPECT_EQ(next_host.Left(), -1500);
  EXPECT_EQ(next_host.Top(), 7215);
}

TEST_F(FormTest, StoredFolderIsUsedAsIsEvenWhenItIsGone) {
  store("Path", "/home/ユーザー/音楽 old");
  load();
  EXPECT_EQ(form.module().wav_path, "/home/ユーザー/音楽 old");
  form.b_opn_Click();
  EXPECT_EQ(dialog.InitDir(), "/home/ユーザー/音楽 old");
}

TEST_F(FormTest, BadStoredPositionsCountAsAbsentAndStayUntilClose) {
  for (const char* bad : {"", "abc", "12abc", "0x10", "1e3", "-", ".", "2147483648", "-2147483649",
                          "99999999999999999999999", "1 2"}) {
    store("MAIN WINDOW X", bad);
    store("MAIN WINDOW Y", "450");
    form.Form_Load();
    EXPECT_EQ(form.module().win_x, 0) << '"' << bad << '"';
    EXPECT_EQ(form.module().win_y, 450) << '"' << bad << '"';
    EXPECT_EQ(stored("MAIN WINDOW X"), bad) << "loading repairs nothing by itself";
  }
  form.b_cls_Click();
  EXPECT_EQ(stored("MAIN WINDOW X"), "0");
}

TEST(TextToInt32, ReadsTheDocumentedFormAndTheEdgesOfTheRange) {
  EXPECT_EQ(text_to_int32("0"), 0);
  EXPECT_EQ(text_to_int32("-1500"), -1500);
  EXPECT_EQ(text_to_int32("+15"), 15);
  EXPECT_EQ(text_to_int32("  42 "), 42);
  EXPECT_EQ(text_to_int32("2147483647"), 2147483647);
  EXPECT_EQ(text_to_int32("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(text_to_int32("000000000000000000000000012"), 12);
}

TEST(TextToInt32, RoundsAFractionHalfToEven) {
  EXPECT_EQ(text_to_int32("12.5"), 12);
  EXPECT_EQ(text_to_int32("13.5"), 14);
  EXPECT_EQ(text_to_int32("12.51"), 13);
  EXPECT_EQ(text_to_int32("-12.5"), -12);
  EXPECT_EQ(text_to_int32("-0.7"), -1);
  EXPECT_EQ(text_to_int32(".4"), 0);
  EXPECT_EQ(text_to_int32("2147483647.4"), 2147483647);
  EXPECT_EQ(text_to_int32("2147483647.5"), std::nullopt);
}

TEST(SingleToText, WholeTwipsGiveTheirDigits) {
  EXPECT_EQ(single_to_text(0), "0");
  EXPECT_EQ(single_to_text(-0.0F), "0");
  EXPECT_EQ(single_to_text(-1500), "-1500");
  EXPECT_EQ(single_to_text(15000000), "15000000");
  EXPECT_EQ(single_to_text(1.5F), "1.5");
  // Every text written reads back to the same whole number.
  for (const float v : {-2147483520.0F, -1.0F, 28800.0F, 2147483520.0F})
    EXPECT_EQ(text_to_int32(single_to_text(v)), static_cast<std::int32_t>(v));
}

}  // namespace
}  // namespace wavorin::testing
