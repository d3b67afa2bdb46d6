// The clocks the program reads: the wall clock for the times it shows, and a steady clock for
// how long ago something happened, which a change of the system's time does not move.
#pragma once

#include <chrono>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // The wall clock.
  virtual std::chrono::system_clock::time_point Now() const = 0;
  // The steady clock: only the time between two readings means anything.
  virtual std::chrono::steady_clock::time_point Steady() const = 0;
};

// The system's own clocks.
class SystemClock final : public Clock {
 public:
  std::chrono::system_clock::time_point Now() const override {
    return std::chrono::system_clock::now();
  }
  std::chrono::steady_clock::time_point Steady() const override {
    return std::chrono::steady_clock::now();
  }
  // One for whoever is given no clock of its own.
  static const SystemClock& Shared() {
    static const SystemClock clock;
    return clock;
  }
};

}  // namespace platform
