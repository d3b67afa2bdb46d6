// The rules of a download, the same on every system, over the system's FetchTransport: which
// addresses are fetched, the time limits and the size cap, the documents held for conditional
// requests and the 304 that gives one again, redirects followed by hand, the failures, the
// decoding of the document into UTF-8, and when an automatic fetch asks the server at all (a
// fresh copy serves, Retry-After and the back-off after failures wait). Plain C++.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/services/Clock.h"
#include "platform/services/FetchTransport.h"
#include "platform/services/HeldDocuments.h"
#include "platform/services/Inet.h"
#include "platform/services/RetrySchedule.h"

namespace platform {

class ConditionalFetch final {
 public:
  // Turns the bytes of a document into UTF-8 text with the system's converters
  // (DecodeDocument).
  using Decoder = std::function<std::string(std::string bytes, const std::string& contentType)>;

  static constexpr std::chrono::milliseconds kRequestTimeout = std::chrono::seconds(60);
  static constexpr std::chrono::milliseconds kTotalTimeLimit = std::chrono::minutes(5);
  static constexpr std::size_t kMaxBytes = 32 * 1024 * 1024;

  // transport must outlive this object, or be destroyed right after it (a fetch waiting in
  // it then ends as Cancelled without touching either); so must clock. random draws the
  // back-off's jitter (RetrySchedule's own when empty).
  ConditionalFetch(FetchTransport& transport, Decoder decode,
                   const Clock& clock = SystemClock::Shared(), RetrySchedule::Random random = {});
  ~ConditionalFetch();
  ConditionalFetch(const ConditionalFetch&) = delete;
  ConditionalFetch& operator=(const ConditionalFetch&) = delete;

  // Fetches the document at url as Inet::OpenURL says: refuses what is no http or https
  // address with a host, and a second fetch while one waits (Busy); asks conditionally when
  // the last successful answer for url carried an ETag or a Last-Modified date, and gives its
  // document again on a 304; fails on a status of 400 or above, a 304 that was not asked
  // for, a body over the size cap or cut short of its announced length, and a redirect that
  // cannot be followed. An automatic fetch sends nothing while the server or the back-off asks
  // it to wait (Deferred, with the wait left), and gives the held document as after a 304
  // while the answer that brought it is fresh.
  FetchResult OpenURL(const std::string& url, FetchOrigin origin = FetchOrigin::Person);
  // True while a fetch waits.
  bool StillExecuting() const { return current_ != nullptr; }

  // Limits for the fetches that start from now on; a time of 0 or less sets no limit.
  void setRequestTimeout(std::chrono::milliseconds stall) { requestTimeout_ = stall; }
  void setTotalTimeLimit(std::chrono::milliseconds total) { totalTimeLimit_ = total; }
  void setMaxBytes(std::size_t bytes) { maxBytes_ = bytes; }
  std::chrono::milliseconds RequestTimeout() const { return requestTimeout_; }

 private:
  class Answer;

  TransportRequest FirstRequest(const std::string& url, const HeldDocument* held) const;
  // Sends request and the requests its redirects lead to; None once a final answer is whole.
  static FetchFailure Follow(FetchTransport& transport, TransportRequest request, Answer& answer);
  FetchResult Conclude(const std::string& url, bool askedConditionally, Answer& answer);
  std::chrono::steady_clock::time_point FreshUntil(const AnswerHead& head) const;
  // What the fetch's result asks of the automatic ones after it.
  void Pace(const std::string& url, FetchResult& result, const AnswerHead& head);

  FetchTransport& transport_;
  Decoder decode_;
  const Clock& clock_;
  RetrySchedule retries_;
  std::chrono::milliseconds requestTimeout_ = kRequestTimeout;
  std::chrono::milliseconds totalTimeLimit_ = kTotalTimeLimit;
  std::size_t maxBytes_ = kMaxBytes;
  HeldDocuments held_;
  Answer* current_ = nullptr;  // the fetch that waits, on OpenURL's stack
};

}  // namespace platform
