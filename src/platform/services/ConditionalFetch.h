// The rules of a download, the same on every system, over the system's FetchTransport: which
// addresses are fetched, the time limits and the size cap, the documents held for conditional
// requests and the 304 that gives one again, redirects followed by hand, the failures, and the
// decoding of the document into UTF-8. Plain C++.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/services/FetchTransport.h"
#include "platform/services/HeldDocuments.h"
#include "platform/services/Inet.h"

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
  // it then ends as Cancelled without touching either).
  ConditionalFetch(FetchTransport& transport, Decoder decode);
  ~ConditionalFetch();
  ConditionalFetch(const ConditionalFetch&) = delete;
  ConditionalFetch& operator=(const ConditionalFetch&) = delete;

  // Fetches the document at url as Inet::OpenURL says: refuses what is no http or https
  // address with a host, and a second fetch while one waits (Busy); asks conditionally when
  // the last successful answer for url carried an ETag or a Last-Modified date, and gives its
  // document again on a 304; fails on a status of 400 or above, a 304 that was not asked
  // for, a body over the size cap or cut short of its announced length, and a redirect that
  // cannot be followed.
  FetchResult OpenURL(const std::string& url);
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

  FetchTransport& transport_;
  Decoder decode_;
  std::chrono::milliseconds requestTimeout_ = kRequestTimeout;
  std::chrono::milliseconds totalTimeLimit_ = kTotalTimeLimit;
  std::size_t maxBytes_ = kMaxBytes;
  HeldDocuments held_;
  Answer* current_ = nullptr;  // the fetch that waits, on OpenURL's stack
};

}  // namespace platform
