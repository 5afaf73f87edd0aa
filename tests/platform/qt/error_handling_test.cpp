// One handler at a time, End(), and run-time errors ending the program with
// status 1 after the report.

#include <QEvent>
#include <QTest>
#include <stdexcept>

#include "platform/qt/window/error_report.h"
#include "platform/runtime_error.h"
#include "tests/platform/qt/host_fixture.h"

namespace wavorin::test {
namespace {

using ::testing::HasSubstr;

TEST(ErrorReport, WritesTheLineToStderrAndSkipsTheBoxOffscreen) {
  EXPECT_FALSE(ErrorReport().box_shown());
  EXPECT_TRUE(ErrorReport(ErrorReport::Box::Shown).box_shown());
  ::testing::internal::CaptureStderr();
  ErrorReport(ErrorReport::Box::Skipped)
      .show("Wave Jukebox", "Run-time error '13': Type mismatch", nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "wavorin: Run-time error '13': Type mismatch\n");
}

using Lifetime = HostFixture;

// Counts the times the window is shown.
class ShowCounter : public QObject {
 public:
  explicit ShowCounter(QWidget* w) { w->installEventFilter(this); }
  int shows = 0;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Show) ++shows;
    return false;
  }
};

TEST_F(Lifetime, LoadRunsBeforeTheWindowIsShownAtTheLoadPosition) {
  QPoint shown_at;
  bool visible_during_load = true;
  events_.on_load = [&] {
    visible_during_load = host_->widget()->isVisible();
    host_->set_Left(300 * tpp_);
    host_->set_Top(40 * tpp_);
  };
  EXPECT_EQ(run_script([&] { shown_at = host_->widget()->pos(); }), 0);
  EXPECT_FALSE(visible_during_load);
  EXPECT_EQ(shown_at, QPoint(300, 40));
  EXPECT_EQ(events_.calls.front(), "Form_Load");
  EXPECT_FALSE(host_->widget()->isVisible());
}

TEST_F(Lifetime, EndDuringLoadNeverShowsTheWindow) {
  ShowCounter counter(host_->widget());
  events_.on_load = [this] {
    host_->set_Timer1_Enabled(true);
    host_->End();
  };
  EXPECT_EQ(host_->run(events_), 0);
  EXPECT_EQ(counter.shows, 0);
  EXPECT_FALSE(host_->timer_enabled());
  EXPECT_EQ(events_.calls, std::vector<std::string>{"Form_Load"});
}

TEST_F(Lifetime, ErrorDuringLoadIsReportedAndEndsWithStatusOne) {
  ShowCounter counter(host_->widget());
  events_.on_load = [] { throw RuntimeError::TypeMismatch(); };
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(host_->run(events_), 1);
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              HasSubstr("Run-time error '13': Type mismatch\n"));
  EXPECT_EQ(counter.shows, 0);
}

TEST_F(Lifetime, ErrorInAClickEndsTheLoopWithStatusOneAndNothingRunsAfter) {
  events_.on_load = [this] { host_->set_Timer1_Enabled(true); };
  events_.on_click = [] { throw RuntimeError::DivisionByZero(); };
  ::testing::internal::CaptureStderr();
  const int status = run_script([this] {
    QTest::mouseClick(host_->widget(), Qt::LeftButton, {}, button_rect(Element::b_stp).center());
    EXPECT_TRUE(host_->ended());
    QTest::mouseClick(host_->widget(), Qt::LeftButton, {}, button_rect(Element::b_ply).center());
  });
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              HasSubstr("Run-time error '11': Division by zero\n"));
  EXPECT_EQ(status, 1);
  EXPECT_EQ(events_.calls, (std::vector<std::string>{"Form_Load", "b_stp_Click"}));
  EXPECT_FALSE(host_->timer_enabled());
  EXPECT_FALSE(host_->widget()->isVisible());
}

class Ticking : public HostFixture {
 protected:
  int interval_ms() const override { return 10; }
};

TEST_F(Ticking, EnabledTimerTicksUntilEndAndDisabledTimerIsSilent) {
  EXPECT_FALSE(host_->timer_enabled());
  events_.on_load = [this] { host_->set_Timer1_Enabled(true); };
  events_.on_tick = [this] {
    if (events_.ticks == 3) host_->End();
  };
  EXPECT_EQ(host_->run(events_), 0);
  EXPECT_EQ(events_.ticks, 3);
}

TEST_F(Ticking, TicksDuringARunningHandlerAreDroppedAndOthersStopTheTimer) {
  int ticks_inside = -1;
  events_.on_load = [this] { host_->set_Timer1_Enabled(true); };
  // A click handler that waits in a nested event loop, as a modal dialog does.
  events_.on_click = [&] {
    const int before = events_.ticks;
    QTest::qWait(80);
    ticks_inside = events_.ticks - before;
    host_->set_Timer1_Enabled(false);
  };
  run_script([&] {
    EXPECT_TRUE(QTest::qWaitFor([&] { return events_.ticks >= 2; }, 2000));
    QTest::mouseClick(host_->widget(), Qt::LeftButton, {}, button_rect(Element::b_opn).center());
    const int after_disable = events_.ticks;
    QTest::qWait(50);
    EXPECT_EQ(events_.ticks, after_disable);
  });
  EXPECT_EQ(ticks_inside, 0);
}

TEST_F(Ticking, AnInternalErrorInATickIsErrorFiftyOne) {
  events_.on_load = [this] { host_->set_Timer1_Enabled(true); };
  events_.on_tick = [] { throw std::length_error("too long"); };
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(host_->run(events_), 1);
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              HasSubstr("Run-time error '51': Internal error\n"));
  EXPECT_EQ(events_.ticks, 1);
}

}  // namespace
}  // namespace wavorin::test
