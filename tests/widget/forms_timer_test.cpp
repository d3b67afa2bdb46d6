// Timer controls: ticks while enabled with a non-zero interval; enabling an enabled timer
// keeps its countdown, a new interval restarts it; ticks go on inside nested event loops.
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "platform/forms/Timer.h"

namespace platform {
namespace {

// Runs the event loop until the condition holds or the time-out passes; true if it held.
bool RunUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (condition()) loop.quit();
  });
  poll.start(1);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return condition();
}

// Runs the event loop until a probe timer of intervalMs has ticked `count` times. A timer of
// that interval (or a shorter one) started before the probe has had at least `count`
// chances to tick by then: the proof that a timer which did not tick will not.
void RunProbeTicks(int intervalMs, int count) {
  QEventLoop loop;
  QTimer probe;
  int probes = 0;
  QObject::connect(&probe, &QTimer::timeout, &loop, [&] {
    if (++probes >= count) loop.quit();
  });
  probe.start(intervalMs);
  loop.exec();
}

TEST(Timer, TicksRepeatedlyWhileEnabled) {
  Timer timer({"tmr", 10, false});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setEnabled(true);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
}

TEST(Timer, EnabledInTheDefinitionRunsFromTheStart) {
  Timer timer({"tmr", 10, true});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  EXPECT_TRUE(timer.Enabled());
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

// Pointer moves enable the scroll timer many times a second: that must not hold it back.
TEST(Timer, EnablingAnEnabledTimerKeepsItsCountdown) {
  Timer timer({"tmr", 80, false});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setEnabled(true);
  // Enabled again four times per interval: a countdown that restarted would never run out.
  QTimer again;
  QObject::connect(&again, &QTimer::timeout, [&] { timer.setEnabled(true); });
  again.start(20);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST(Timer, DisablingStopsTheTicks) {
  Timer timer({"tmr", 5, true});
  int ticks = 0;
  timer.Tick = [&] {
    ++ticks;
    timer.setEnabled(false);
  };
  ASSERT_TRUE(RunUntil([&] { return ticks >= 1; }));
  RunProbeTicks(5, 10);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer.Enabled());
}

TEST(Timer, ANewIntervalRestartsTheCountdown) {
  Timer timer({"tmr", 1'000'000, true});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setInterval(10);
  EXPECT_EQ(timer.Interval(), 10);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST(Timer, ANewIntervalOnADisabledTimerDoesNotStartIt) {
  Timer timer({"tmr", 1000, false});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setInterval(5);
  RunProbeTicks(5, 10);
  EXPECT_EQ(ticks, 0);
}

TEST(Timer, IntervalZeroNeverTicksUntilAnIntervalIsSet) {
  Timer timer({"tmr", 0, true});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  EXPECT_TRUE(timer.Enabled());
  RunProbeTicks(5, 10);
  EXPECT_EQ(ticks, 0);
  timer.setInterval(5);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST(Timer, AnEmptyTickHandlerIsSkipped) {
  Timer timer({"tmr", 5, true});
  Timer probe({"probe", 30, true});
  int probes = 0;
  probe.Tick = [&] { ++probes; };
  EXPECT_TRUE(RunUntil([&] { return probes >= 1; }));
}

// A synchronous download waits in a nested loop: the strip keeps scrolling meanwhile.
TEST(Timer, TicksGoOnInsideANestedEventLoop) {
  Timer timer({"tmr", 10, true});
  int ticks = 0;
  int ticksInside = -1;
  timer.Tick = [&] { ++ticks; };
  QTimer::singleShot(0, [&] {
    const int before = ticks;
    RunUntil([&] { return ticks >= before + 3; });
    ticksInside = ticks - before;
  });
  EXPECT_TRUE(RunUntil([&] { return ticksInside >= 0; }));
  EXPECT_GE(ticksInside, 3);
}

}  // namespace
}  // namespace platform
