// Timer controls: ticks while enabled with a non-zero interval; enabling an enabled timer
// keeps its countdown, a new interval restarts it; ticks go on inside nested event loops.
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/Timer.h"
#include "support/TestEngine.h"

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

// Timers sit on a form, as every control does.
class TimerTest : public ::testing::Test {
 protected:
  Form host{TestEngine(), {}};
};

TEST_F(TimerTest, TicksRepeatedlyWhileEnabled) {
  Timer timer(host, {"tmr", 10, false});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setEnabled(true);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
}

TEST_F(TimerTest, EnabledInTheDefinitionRunsFromTheStart) {
  Timer timer(host, {"tmr", 10, true});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  EXPECT_TRUE(timer.Enabled());
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

// Pointer moves enable the scroll timer many times a second: that must not hold it back.
TEST_F(TimerTest, EnablingAnEnabledTimerKeepsItsCountdown) {
  Timer timer(host, {"tmr", 80, false});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setEnabled(true);
  // Enabled again four times per interval: a countdown that restarted would never run out.
  QTimer again;
  QObject::connect(&again, &QTimer::timeout, [&] { timer.setEnabled(true); });
  again.start(20);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST_F(TimerTest, DisablingStopsTheTicks) {
  Timer timer(host, {"tmr", 5, true});
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

TEST_F(TimerTest, ANewIntervalRestartsTheCountdown) {
  Timer timer(host, {"tmr", 1'000'000, true});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setInterval(10);
  EXPECT_EQ(timer.Interval(), 10);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST_F(TimerTest, ANewIntervalOnADisabledTimerDoesNotStartIt) {
  Timer timer(host, {"tmr", 1000, false});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.setInterval(5);
  RunProbeTicks(5, 10);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, IntervalZeroNeverTicksUntilAnIntervalIsSet) {
  Timer timer(host, {"tmr", 0, true});
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  EXPECT_TRUE(timer.Enabled());
  RunProbeTicks(5, 10);
  EXPECT_EQ(ticks, 0);
  timer.setInterval(5);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST_F(TimerTest, AnEmptyTickHandlerIsSkipped) {
  Timer timer(host, {"tmr", 5, true});
  Timer probe(host, {"probe", 30, true});
  int probes = 0;
  probe.Tick = [&] { ++probes; };
  EXPECT_TRUE(RunUntil([&] { return probes >= 1; }));
}

// A synchronous download waits in a nested loop: the strip keeps scrolling meanwhile.
TEST_F(TimerTest, TicksGoOnInsideANestedEventLoop) {
  Timer timer(host, {"tmr", 10, true});
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
