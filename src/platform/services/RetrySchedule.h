// When the next automatic request for a feed may go out after failed ones: not before the time
// a 429 or 503 asked for (Retry-After), nor before a back-off. One failure alone is asked again
// at the next reload, as any reload asks; from the second in a row the wait doubles, from about
// one run of the shortest row up to half an hour, drawn within ±20 % at random so that copies
// which failed together do not come back together. The first success ends it. Plain C++.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace platform {

class RetrySchedule final {
 public:
  // Draws a number in [0, 1], evenly.
  using Random = std::function<double()>;
  using TimePoint = std::chrono::steady_clock::time_point;

  // The wait after the second failure in a row.
  static constexpr std::chrono::seconds kFirstBackOff{30};
  static constexpr std::chrono::seconds kMostBackOff{30 * 60};
  static constexpr double kJitter = 0.2;

  // random defaults to one seeded by the system.
  explicit RetrySchedule(Random random = {});

  // How long before an automatic request for url may go out; zero when it may now.
  std::chrono::seconds WaitFor(const std::string& url, TimePoint now) const;
  // A request for url failed at now; retryAfter is what its answer asked for (zero: nothing).
  // Returns the wait this sets: the longer of retryAfter and the back-off.
  std::chrono::seconds Failed(const std::string& url, std::chrono::seconds retryAfter,
                              TimePoint now);
  // A request succeeded: no wait is left.
  void Succeeded();

 private:
  Random random_;
  std::string url_;  // the feed whose failures are counted
  int failures_ = 0;
  TimePoint notBefore_{};
};

}  // namespace platform
