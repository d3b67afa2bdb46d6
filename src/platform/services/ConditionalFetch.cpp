#include "platform/services/ConditionalFetch.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <string_view>
#include <utility>

#include "platform/services/Redirect.h"
#include "platform/services/ServerSignals.h"
#include "platform/services/WebAddress.h"
#include "text/Ascii.h"

namespace platform {
namespace {

constexpr std::size_t kUnknownLength = std::numeric_limits<std::size_t>::max();
// More digits than a length under any cap has: such a body is too large without a look.
constexpr std::size_t kMostLengthDigits = 15;
constexpr std::chrono::milliseconds kAskAgainAnyway = std::chrono::hours(1);

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Why url is not fetched at all; None when it may be.
FetchFailure RefusalOf(const std::string& url) {
  const std::string scheme = SchemeOf(url);
  if (scheme.empty()) return FetchFailure::MalformedUrl;
  if (scheme != "http" && scheme != "https") return FetchFailure::UnsupportedScheme;
  if (HostOf(url).empty()) return FetchFailure::MalformedUrl;
  return FetchFailure::None;
}

// The announced length of a body that is not packed (the length of a packed one is not the
// document's: that one is only counted); kUnknownLength when none is announced, and a length
// that is no number is unknown too.
std::size_t AnnouncedLength(const AnswerHead& head, bool& announced) {
  const std::string encoding = text::AsciiLowered(text::Trim(head.Header("Content-Encoding")));
  const std::string length(text::Trim(head.Header("Content-Length")));
  announced = !length.empty() && (encoding.empty() || encoding == "identity");
  if (!announced || length.size() > kMostLengthDigits ||
      length.find_first_not_of("0123456789") != std::string::npos) {
    return kUnknownLength;
  }
  return static_cast<std::size_t>(std::stoull(length));
}

// A failure that says nothing about the server: nothing was sent, or the program ended.
bool SaysNothingOfTheServer(FetchFailure failure) {
  return failure == FetchFailure::Busy || failure == FetchFailure::NoApplication ||
         failure == FetchFailure::MalformedUrl || failure == FetchFailure::UnsupportedScheme ||
         failure == FetchFailure::Cancelled || failure == FetchFailure::Deferred;
}

}  // namespace

std::string AnswerHead::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (text::EqualsNoCase(key, name)) return value;
  }
  return {};
}

// One fetch's answer as it arrives, hop after hop: the head of the latest and the body of the
// final one, held to the cap and to its announced length as it comes, and the request that
// waits held to the time limits.
class ConditionalFetch::Answer final : public AnswerReceiver {
 public:
  Answer(std::size_t maxBytes, std::chrono::milliseconds stall,
         std::chrono::steady_clock::time_point deadline, const Clock& clock)
      : maxBytes_(maxBytes), stall_(stall), deadline_(deadline), clock_(clock) {}

  BodyWanted OnHead(AnswerHead head) override;
  bool OnBody(std::string_view chunk) override;
  void OnProgress() override { lastProgress_ = clock_.Steady().time_since_epoch().count(); }
  Patience Waited() override;

  // A request goes out: its stall counts from now, the deadline from the fetch's start.
  void Sending() { OnProgress(); }
  // Why the answer that ended fails: the fetch refused it, it had no status, or its body was
  // cut short of its announced length (some systems report that as a plain end).
  FetchFailure Verdict() const {
    if (refused_ != FetchFailure::None) return refused_;
    if (head_.status == 0) return FetchFailure::ProtocolError;
    if (announced_ != kUnknownLength && body_.size() < announced_) {
      return FetchFailure::ConnectionClosed;
    }
    return FetchFailure::None;
  }
  FetchFailure Refused() const { return refused_; }
  const AnswerHead& Head() const { return head_; }
  bool Redirected() const { return IsRedirect(head_.status); }
  std::string TakeBody() { return std::exchange(body_, std::string()); }

  bool ownerGone = false;  // the ConditionalFetch was destroyed while this waited

 private:
  const std::size_t maxBytes_;
  const std::chrono::milliseconds stall_;  // zero: no limit
  const std::chrono::steady_clock::time_point deadline_;
  const Clock& clock_;
  // Written by whichever thread the transport reports from, read by the one that waits.
  std::atomic<std::chrono::steady_clock::rep> lastProgress_{0};
  AnswerHead head_;
  std::size_t announced_ = kUnknownLength;
  std::string body_;
  FetchFailure refused_ = FetchFailure::None;
};

Patience ConditionalFetch::Answer::Waited() {
  using std::chrono::milliseconds;
  const std::chrono::steady_clock::time_point now = clock_.Steady();
  // Without a limit the transport still asks now and then; nothing hangs on the answer.
  milliseconds left = kAskAgainAnyway;
  if (deadline_ != std::chrono::steady_clock::time_point::max()) {
    if (now >= deadline_) return {FetchFailure::TookTooLong};
    left = std::min(left, std::chrono::ceil<milliseconds>(deadline_ - now));
  }
  if (stall_.count() > 0) {
    const std::chrono::steady_clock::time_point stalledAt =
        std::chrono::steady_clock::time_point(
            std::chrono::steady_clock::duration(lastProgress_.load())) +
        stall_;
    if (now >= stalledAt) return {FetchFailure::TimedOut};
    left = std::min(left, std::chrono::ceil<milliseconds>(stalledAt - now));
  }
  return {FetchFailure::None, left};
}

BodyWanted ConditionalFetch::Answer::OnHead(AnswerHead head) {
  head_ = std::move(head);
  body_.clear();
  announced_ = kUnknownLength;
  refused_ = FetchFailure::None;
  if (head_.status >= 400) {
    refused_ = FetchFailure::HttpStatus;
    return BodyWanted::Stop;
  }
  if (Redirected() || head_.status == HeldDocuments::kNotModified) return BodyWanted::Skip;
  bool announced = false;
  announced_ = AnnouncedLength(head_, announced);
  if (announced && (announced_ == kUnknownLength || announced_ > maxBytes_)) {
    refused_ = FetchFailure::TooLarge;
    return BodyWanted::Stop;
  }
  return BodyWanted::Read;
}

bool ConditionalFetch::Answer::OnBody(std::string_view chunk) {
  // A body longer than its announced length ends there: the surplus is no part of it.
  if (announced_ != kUnknownLength) chunk = chunk.substr(0, announced_ - body_.size());
  if (chunk.size() > maxBytes_ - body_.size()) {
    refused_ = FetchFailure::TooLarge;
    return false;
  }
  body_.append(chunk);
  return body_.size() < announced_;
}

ConditionalFetch::ConditionalFetch(FetchTransport& transport, Decoder decode, const Clock& clock,
                                   RetrySchedule::Random random)
    : transport_(transport),
      decode_(std::move(decode)),
      clock_(clock),
      retries_(std::move(random)) {}

ConditionalFetch::~ConditionalFetch() {
  if (current_ != nullptr) current_->ownerGone = true;
}

FetchResult ConditionalFetch::OpenURL(const std::string& url, FetchOrigin origin) {
  if (current_ != nullptr) return FailedFetch(FetchFailure::Busy);
  if (const FetchFailure refusal = RefusalOf(url); refusal != FetchFailure::None) {
    return FailedFetch(refusal);
  }
  const HeldDocument* const held = held_.Find(url);
  if (origin == FetchOrigin::Automatic) {
    if (const auto wait = retries_.WaitFor(url, clock_.Steady()); wait.count() > 0) {
      FetchResult deferred = FailedFetch(FetchFailure::Deferred);
      deferred.nextTryIn = wait;
      return deferred;
    }
    if (held != nullptr && clock_.Steady() < held->freshUntil) {
      return held_.Reuse(url, {}, {}, held->freshUntil);
    }
  }
  // The list cannot change while this fetch waits: a second fetch is refused as busy.
  const bool askedConditionally = held != nullptr && held->HasValidators();
  Answer answer(maxBytes_, std::max(requestTimeout_, std::chrono::milliseconds(0)),
                totalTimeLimit_.count() > 0 ? clock_.Steady() + totalTimeLimit_
                                            : std::chrono::steady_clock::time_point::max(),
                clock_);
  current_ = &answer;
  const FetchFailure failure = Follow(transport_, FirstRequest(url, held), answer);
  // Once this object is gone, its members are too.
  if (answer.ownerGone) return FailedFetch(FetchFailure::Cancelled, answer.Head().status);
  current_ = nullptr;
  FetchResult result = failure != FetchFailure::None ? FailedFetch(failure, answer.Head().status)
                                                     : Conclude(url, askedConditionally, answer);
  Pace(url, result, answer.Head());
  return result;
}

void ConditionalFetch::Pace(const std::string& url, FetchResult& result, const AnswerHead& head) {
  if (result.ok) {
    retries_.Succeeded();
  } else if (!SaysNothingOfTheServer(result.failure)) {
    // After a failure the server is asked, not the copy it once called fresh.
    held_.MakeStale(url);
    result.nextTryIn = retries_.Failed(url, RetryAfterOf(head, clock_.Now()), clock_.Steady());
  }
}

// Until when the document of a successful answer serves without asking; the steady clock's
// epoch when it does not. Its age counts from now, when it has arrived.
std::chrono::steady_clock::time_point ConditionalFetch::FreshUntil(const AnswerHead& head) const {
  const std::chrono::seconds fresh = FreshnessOf(head);
  return fresh.count() > 0 ? clock_.Steady() + fresh : std::chrono::steady_clock::time_point{};
}

// The request for url, conditional when a document is held for it: a server whose feed did
// not change then answers 304 without a body, and the held document serves again.
TransportRequest ConditionalFetch::FirstRequest(const std::string& url,
                                                const HeldDocument* held) const {
  TransportRequest request;
  request.url = url;
  if (held != nullptr && !held->etag.empty()) {
    request.headers.emplace_back("If-None-Match", held->etag);
  }
  if (held != nullptr && !held->lastModified.empty()) {
    request.headers.emplace_back("If-Modified-Since", held->lastModified);
  }
  if (requestTimeout_.count() > 0) request.stall = requestTimeout_;
  return request;
}

FetchFailure ConditionalFetch::Follow(FetchTransport& transport, TransportRequest request,
                                      Answer& answer) {
  for (int followed = 0;; ++followed) {
    answer.Sending();
    const FetchFailure failure = transport.Send(request, answer);
    // The transport goes with the fetch's owner.
    if (answer.ownerGone) return FetchFailure::Cancelled;
    if (answer.Refused() != FetchFailure::None) return answer.Refused();
    // An address that the system cannot use is, when a redirect led there, a bad redirect.
    if (failure == FetchFailure::MalformedUrl && followed > 0) return FetchFailure::BadRedirect;
    if (failure != FetchFailure::None) return failure;
    if (answer.Verdict() != FetchFailure::None) return answer.Verdict();
    if (!answer.Redirected()) return FetchFailure::None;
    // The conditional headers go along: they ask about the same document.
    const Redirect next = FollowRedirect(request.url, answer.Head().Header("Location"), followed);
    if (next.failure != FetchFailure::None) return next.failure;
    request.url = next.url;
  }
}

FetchResult ConditionalFetch::Conclude(const std::string& url, bool askedConditionally,
                                       Answer& answer) {
  const AnswerHead& head = answer.Head();
  if (head.status == HeldDocuments::kNotModified) {
    // Only an answer to a conditional request can mean the document already held.
    if (!askedConditionally) return FailedFetch(FetchFailure::HttpStatus, head.status);
    return held_.Reuse(url, head.Header("ETag"), head.Header("Last-Modified"), FreshUntil(head));
  }
  FetchResult result;
  result.ok = true;
  result.status = head.status;
  // One copy of the document at a time: the bytes received are handed over, not copied.
  result.document = decode_(answer.TakeBody(), head.Header("Content-Type"));
  held_.Remember(url, head.Header("ETag"), head.Header("Last-Modified"), result.document,
                 FreshUntil(head));
  return result;
}

}  // namespace platform
