#include "platform/services/RetrySchedule.h"

#include <algorithm>
#include <memory>
#include <random>
#include <utility>

namespace platform {

using std::chrono::seconds;

namespace {

RetrySchedule::Random SystemRandom() {
  auto engine = std::make_shared<std::mt19937>(std::random_device{}());
  return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

// Whole seconds, rounded up: a wait is never told shorter than it is.
seconds Ceil(std::chrono::steady_clock::duration wait) {
  return std::chrono::ceil<seconds>(std::max(wait, std::chrono::steady_clock::duration::zero()));
}

}  // namespace

RetrySchedule::RetrySchedule(Random random)
    : random_(random ? std::move(random) : SystemRandom()) {}

seconds RetrySchedule::WaitFor(const std::string& url, TimePoint now) const {
  if (failures_ == 0 || url != url_) return seconds(0);
  return Ceil(notBefore_ - now);
}

seconds RetrySchedule::Failed(const std::string& url, seconds retryAfter, TimePoint now) {
  if (url != url_) {
    url_ = url;
    failures_ = 0;
  }
  // Doubling stops at the cap, long before the count could overflow anything.
  failures_ = std::min(failures_ + 1, 32);
  const double doubled = failures_ == 1
                             ? 0.0
                             : static_cast<double>(kFirstBackOff.count()) *
                                   static_cast<double>(1u << std::min(failures_ - 2, 16));
  const double backOff = std::min(doubled, static_cast<double>(kMostBackOff.count()));
  const double jitter = 1.0 + kJitter * (2.0 * std::clamp(random_(), 0.0, 1.0) - 1.0);
  const auto drawn = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(backOff * jitter));
  const auto wait = std::max<std::chrono::steady_clock::duration>(drawn, retryAfter);
  notBefore_ = now + wait;
  return Ceil(wait);
}

void RetrySchedule::Succeeded() { failures_ = 0; }

}  // namespace platform
