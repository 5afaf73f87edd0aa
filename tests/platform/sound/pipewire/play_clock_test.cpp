#include "platform/sound/pipewire/play_clock.h"

#include <gtest/gtest.h>

namespace wavorin::pipewire {
namespace {

constexpr std::int64_t kMs = 1'000'000;  // ns

// Cycles of 441 frames (10 ms at 44.1 kHz) every 10 ms, the device one
// cycle behind the node, as the graph reports for a sink.
class PlayClockTest : public ::testing::Test {
 protected:
  void cycle(std::uint64_t pulled, std::int64_t behind = 441) {
    clock_.cycle(behind, now_, 441, pulled);
    now_ += 10 * kMs;
  }
  PlayClock clock_{44100};
  std::int64_t now_ = 1000 * kMs;
};

// What is pulled is heard a cycle later at the graph's pace, never sooner,
// never more than was pulled, never counting the silence padded after it.
TEST_F(PlayClockTest, CountsPulledFramesAsTheDevicePlaysThem) {
  cycle(441);
  EXPECT_EQ(clock_.played(now_ - 10 * kMs), 0U) << "heard at once, not a cycle later";
  cycle(441);
  EXPECT_EQ(clock_.played(now_ - 10 * kMs), 0U);
  EXPECT_EQ(clock_.played(now_ - 5 * kMs), 220U);  // half of the first cycle
  // A sound that ends within a cycle: the silence after it is not its frames.
  cycle(100);
  EXPECT_EQ(clock_.pulled(), 982U);
  EXPECT_EQ(clock_.played(now_ + 1000 * kMs), 982U);
}

// A stopped daemon or a suspended sink runs no cycle: the count stops within
// what the last cycle gave, however long the wait.
TEST_F(PlayClockTest, StopsWhereTheLastCycleEndedWhileNoCycleRuns) {
  cycle(441);
  cycle(441);
  EXPECT_LE(clock_.played(now_ + 60'000 * kMs), 882U);
  EXPECT_GE(clock_.played(now_ + 60'000 * kMs), 441U);
  // The graph's delay grows (a move to a slower device): what was heard
  // stays heard.
  const std::uint64_t before = clock_.played(now_);
  cycle(441, 4410);
  EXPECT_GE(clock_.played(now_ - 10 * kMs), before);
  clock_.restart(48000);
  EXPECT_EQ(clock_.played(now_), 0U);
  EXPECT_EQ(clock_.pulled(), 0U);
}

}  // namespace
}  // namespace wavorin::pipewire
