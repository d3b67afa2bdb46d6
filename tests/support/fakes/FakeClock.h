// Clocks that stand still until the test sets or moves them.
#pragma once

#include <chrono>
#include <ctime>

#include "platform/services/Services.h"

class FakeClock final : public platform::Clock {
 public:
  std::chrono::system_clock::time_point Now() const override { return now; }
  std::chrono::steady_clock::time_point Steady() const override { return steady; }
  // Moves both clocks on.
  void Advance(std::chrono::milliseconds by) {
    now += by;
    steady += by;
  }

  // The moment of the given local date and time.
  static std::chrono::system_clock::time_point Local(int year, int month, int day, int hour,
                                                     int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
  }

  std::chrono::system_clock::time_point now = Local(2026, 12, 7, 9, 41);
  std::chrono::steady_clock::time_point steady{std::chrono::hours(1)};
};
