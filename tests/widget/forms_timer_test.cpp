// Timer controls inside a nested event loop. What a timer does is the form engine's (its unit
// tests on the fake surface); that a real timer ticks and stops is the surface table's.
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/Timer.h"
#include "support/TestEngine.h"
#include "widget/support/WaitFor.h"

namespace platform {
namespace {

// A synchronous download waits in a nested event loop: the strip keeps scrolling meanwhile.
TEST(TimerTest, TicksGoOnInsideANestedEventLoop) {
  Form host{TestEngine(), {}};
  Timer timer(host, {"tmr", 10, true});
  int ticks = 0;
  int ticksInside = -1;
  QEventLoop nested;
  int until = 0;
  timer.Tick = [&] {
    if (++ticks == until) nested.quit();
  };
  QTimer::singleShot(0, [&] {
    const int before = ticks;
    until = before + 3;
    QTimer::singleShot(3000, &nested, &QEventLoop::quit);
    nested.exec();
    ticksInside = ticks - before;
  });
  EXPECT_TRUE(WaitFor([&] { return ticksInside >= 0; }));
  EXPECT_GE(ticksInside, 3);
}

}  // namespace
}  // namespace platform
