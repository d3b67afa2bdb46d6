// Waiting in the widget tests: the toolkit's events handled until what the test waits for has
// happened.
#pragma once

#include <QTest>
#include <functional>

// Handles events until the condition holds or ten seconds pass; returns the condition.
inline bool WaitFor(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, 10000);
}
