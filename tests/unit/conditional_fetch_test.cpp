// The rules of a download over a scripted transport: addresses refused unsent, the size cap
// and the announced length, statuses, conditional requests and the 304, redirects, limits,
// and when automatic fetches ask at all (freshness, Retry-After, back-off) on a fake clock.
#include "platform/services/ConditionalFetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/services/Redirect.h"
#include "support/fakes/FakeClock.h"
#include "support/fakes/FakeTransport.h"

namespace {

using namespace std::chrono_literals;
using platform::ConditionalFetch;
using platform::FetchFailure;
using platform::FetchResult;
using Answer = FakeTransport::Answer;

const std::string kUrl = "http://news.tallowmere.example/rss.php";

class ConditionalFetchTest : public testing::Test {
 protected:
  ConditionalFetchTest() { transport.clock = &clock; }

  FetchResult Fetch(Answer answer) {
    transport.Queue(std::move(answer));
    return fetch.OpenURL(kUrl);
  }
  std::string Header(std::size_t request, const char* name) const {
    return platform::AnswerHead{0, transport.requests.at(request).headers}.Header(name);
  }

  // An automatic fetch: whether it reached the server.
  bool AutomaticAsks() {
    const std::size_t sent = transport.requests.size();
    fetch.OpenURL(kUrl, platform::FetchOrigin::Automatic);
    return transport.requests.size() > sent;
  }

  FakeTransport transport;
  std::string contentType;
  FakeClock clock;
  double draw = 0.5;  // the jitter's random number: 0.5 draws none
  ConditionalFetch fetch{transport,
                         [this](std::string bytes, const std::string& type) {
                           contentType = type;
                           return "[" + bytes + "]";
                         },
                         clock, [this] { return draw; }};
};

TEST_F(ConditionalFetchTest, RefusesWhatIsNoWebAddressUnsent) {
  EXPECT_EQ(fetch.OpenURL("").failure, FetchFailure::MalformedUrl);
  EXPECT_EQ(fetch.OpenURL("feed.xml").failure, FetchFailure::MalformedUrl);
  EXPECT_EQ(fetch.OpenURL("http://").failure, FetchFailure::MalformedUrl);
  EXPECT_EQ(fetch.OpenURL("http://[::1/feed.xml").failure, FetchFailure::MalformedUrl);
  EXPECT_EQ(fetch.OpenURL("FTP://x.example/a").failure, FetchFailure::UnsupportedScheme);
  EXPECT_EQ(fetch.OpenURL("javascript:alert(1)").failure, FetchFailure::UnsupportedScheme);
  EXPECT_TRUE(transport.requests.empty());
}

TEST_F(ConditionalFetchTest, GivesTheDecodedBodyWithItsType) {
  const FetchResult result = Fetch({203, {{"content-type", "text/xml"}}, {"<rss>", "</rss>"}});
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.status, 203);
  EXPECT_EQ(result.document, "[<rss></rss>]");
  EXPECT_EQ(contentType, "text/xml");
}

// Cap 10: announced lengths and counted bodies on either side of it.
struct SizeCase {
  const char* what;
  Answer answer;
  FetchFailure failure;
  std::string document;  // when it succeeds
};

class ConditionalFetchSizeTest : public ConditionalFetchTest,
                                 public testing::WithParamInterface<SizeCase> {};

TEST_P(ConditionalFetchSizeTest, HoldsTheCapAndTheAnnouncedLength) {
  fetch.setMaxBytes(10);
  const FetchResult result = Fetch(GetParam().answer);
  EXPECT_EQ(result.failure, GetParam().failure) << GetParam().what;
  EXPECT_EQ(result.document, GetParam().document) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConditionalFetchSizeTest,
    testing::Values(
        SizeCase{"at the cap", {200, {}, {"12345", "67890"}}, FetchFailure::None, "[1234567890]"},
        SizeCase{"counted over", {200, {}, {"12345", "678901"}}, FetchFailure::TooLarge, ""},
        SizeCase{"announced over", {200, {{"Content-Length", "11"}}}, FetchFailure::TooLarge, ""},
        SizeCase{"no number", {200, {{"Content-Length", "ten"}}}, FetchFailure::TooLarge, ""},
        SizeCase{"understated",
                 {200, {{"Content-Length", "3"}}, {"12345678901"}},
                 FetchFailure::None,
                 "[123]"},
        SizeCase{"cut short",
                 {200, {{"Content-Length", "8"}}, {"1234"}},
                 FetchFailure::ConnectionClosed,
                 ""},
        SizeCase{"packed: only counted",
                 {200, {{"Content-Length", "2"}, {"Content-Encoding", "gzip"}}, {"12345"}},
                 FetchFailure::None,
                 "[12345]"}));

TEST_F(ConditionalFetchTest, AStatusFrom400UpFailsUnread) {
  const FetchResult result = Fetch({400, {}, {"oops"}});
  EXPECT_EQ(result.failure, FetchFailure::HttpStatus);
  EXPECT_EQ(result.error, "HTTP 400");
  EXPECT_EQ(transport.chunksTaken, 0);
  EXPECT_EQ(Fetch({0, {}, {}, FetchFailure::ProtocolError}).failure, FetchFailure::ProtocolError);
  // The transport's own failure keeps the status that came before it.
  const FetchResult stalled = Fetch({200, {}, {"<rss>"}, FetchFailure::TimedOut});
  EXPECT_EQ(stalled.failure, FetchFailure::TimedOut);
  EXPECT_EQ(stalled.status, 200);
}

TEST_F(ConditionalFetchTest, AnUnchangedFeedIsAskedForConditionallyAndServesAgain) {
  EXPECT_EQ(Fetch({304}).failure, FetchFailure::HttpStatus) << "a 304 nobody asked for";
  ASSERT_TRUE(Fetch({200, {{"ETag", "\"v1\""}, {"Last-Modified", "Sun"}}, {"a"}}).ok);
  EXPECT_EQ(Fetch({500}).status, 500);
  const FetchResult again = Fetch({304, {{"ETag", "\"v2\""}}});
  EXPECT_TRUE(again.ok) << again.error;
  EXPECT_EQ(again.status, 304);
  EXPECT_EQ(again.document, "[a]");
  Fetch({304});
  EXPECT_EQ(Header(1, "If-None-Match"), "");
  EXPECT_EQ(Header(2, "If-None-Match"), "\"v1\"");
  EXPECT_EQ(Header(3, "If-Modified-Since"), "Sun");
  EXPECT_EQ(Header(4, "If-None-Match"), "\"v2\"");
}

TEST_F(ConditionalFetchTest, FollowsRedirectsByHandWithTheSameQuestion) {
  ASSERT_TRUE(Fetch({200, {{"ETag", "\"v1\""}}, {"a"}}).ok);
  transport.Queue({301, {{"Location", "/moved/rss.php"}}});
  const FetchResult moved = Fetch({304});
  EXPECT_EQ(moved.document, "[a]");
  EXPECT_EQ(transport.requests[2].url, "http://news.tallowmere.example/moved/rss.php");
  EXPECT_EQ(Header(2, "If-None-Match"), "\"v1\"");
}

TEST_F(ConditionalFetchTest, RefusesARedirectItMayNotFollow) {
  for (int n = 0; n <= platform::kMaxRedirects; ++n) transport.Queue({302, {{"Location", "/"}}});
  const FetchResult loop = fetch.OpenURL(kUrl);
  EXPECT_EQ(loop.failure, FetchFailure::TooManyRedirects);
  EXPECT_EQ(loop.status, 302);
  EXPECT_EQ(transport.requests.size(), 11u);
  transport.Queue({302, {{"Location", "http://news.tallowmere.example/"}}});
  EXPECT_EQ(fetch.OpenURL("https://news.tallowmere.example/").failure,
            FetchFailure::InsecureRedirect);
  EXPECT_EQ(Fetch({307}).failure, FetchFailure::BadRedirect);
  EXPECT_EQ(transport.requests.size(), 13u);
}

// A stall of 10 s and 60 s in all unless a case says otherwise; the answers keep silent on
// the fake clock and the fetch tells the transport when to stop. A stall counts from the last
// progress and from each request sent; the total from the fetch's start, over its redirects.
struct LimitCase {
  const char* what;
  std::vector<Answer> answers;
  FetchFailure failure;
  std::chrono::milliseconds stoppedAfter;  // on the fake clock, from the fetch's start
  std::chrono::milliseconds stall = 10s;
  std::chrono::milliseconds total = 60s;
};

class ConditionalFetchLimitTest : public ConditionalFetchTest,
                                  public testing::WithParamInterface<LimitCase> {};

TEST_P(ConditionalFetchLimitTest, StopsTheTransportAtTheLimit) {
  const LimitCase& limits = GetParam();
  fetch.setRequestTimeout(limits.stall);
  fetch.setTotalTimeLimit(limits.total);
  for (const Answer& answer : limits.answers) transport.Queue(answer);
  const auto start = clock.steady;
  EXPECT_EQ(fetch.OpenURL(kUrl).failure, limits.failure) << limits.what;
  EXPECT_EQ(clock.steady - start, limits.stoppedAfter) << limits.what;
  EXPECT_EQ(transport.requests.back().stall, std::max(limits.stall, 0ms)) << limits.what;
}

Answer TwoChunks(std::vector<std::chrono::milliseconds> silences) {
  return {200, {}, {"a", "b"}, FetchFailure::None, {}, std::move(silences)};
}
Answer Moved(std::vector<std::chrono::milliseconds> silences) {
  return {301, {{"Location", "/moved"}}, {}, FetchFailure::None, {}, std::move(silences)};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConditionalFetchLimitTest,
    testing::Values(
        LimitCase{
            "just under the stall each time", {TwoChunks({9s, 9s, 9s})}, FetchFailure::None, 27s},
        LimitCase{"a stall before the head", {TwoChunks({10s})}, FetchFailure::TimedOut, 10s},
        LimitCase{"a stall in the body", {TwoChunks({1s, 1s, 11s})}, FetchFailure::TimedOut, 12s},
        LimitCase{"progress until the total is up",
                  {TwoChunks({9s, 9s, 9s})},
                  FetchFailure::TookTooLong,
                  20s,
                  10s,
                  20s},
        LimitCase{"the total spans the redirects",
                  {Moved({15s}), TwoChunks({15s})},
                  FetchFailure::TookTooLong,
                  20s,
                  20s,
                  20s},
        LimitCase{"zero and less are no limits",
                  {TwoChunks({2h, 3h})},
                  FetchFailure::None,
                  5h,
                  0ms,
                  -1ms}));

TEST_F(ConditionalFetchTest, ASecondFetchWhileOneWaitsIsRefused) {
  FetchResult second;
  const FetchResult first = Fetch({200, {}, {"a"}, FetchFailure::None, [&] {
                                     EXPECT_TRUE(fetch.StillExecuting());
                                     second = fetch.OpenURL(kUrl);
                                   }});
  EXPECT_TRUE(first.ok);
  EXPECT_EQ(second.failure, FetchFailure::Busy);
  EXPECT_FALSE(fetch.StillExecuting());
}

TEST_F(ConditionalFetchTest, DestroyedWhileItWaitsItEndsCancelledUntouched) {
  auto owned = std::make_unique<ConditionalFetch>(
      transport, [](std::string bytes, const std::string&) { return bytes; });
  transport.Queue({200, {}, {"a"}, FetchFailure::Cancelled, [&] { owned.reset(); }});
  transport.Queue({200});
  EXPECT_EQ(owned->OpenURL(kUrl).failure, FetchFailure::Cancelled);
  EXPECT_EQ(transport.requests.size(), 1u);
}

// How long a 200's headers keep its document fresh (an automatic fetch then sends nothing).
struct FreshCase {
  const char* what;
  platform::HttpHeaders headers;
  int fresh;  // seconds
};

class ConditionalFetchFreshTest : public ConditionalFetchTest,
                                  public testing::WithParamInterface<FreshCase> {};

TEST_P(ConditionalFetchFreshTest, ServesTheHeldCopyUntilItIsStale) {
  const auto& [what, headers, fresh] = GetParam();
  ASSERT_TRUE(Fetch({200, headers, {"a"}}).ok) << what;
  if (fresh > 0) {
    clock.Advance(std::chrono::seconds(fresh - 1));
    const FetchResult held = fetch.OpenURL(kUrl, platform::FetchOrigin::Automatic);
    EXPECT_EQ(transport.requests.size(), 1u) << what;
    EXPECT_EQ(held.status, 304) << what;
    EXPECT_EQ(held.document, "[a]") << what;
    clock.Advance(1s);
  }
  EXPECT_TRUE(AutomaticAsks()) << what;
}

const std::pair<std::string, std::string> kDate{"Date", "Mon, 07 Dec 2026 08:00:00 GMT"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ConditionalFetchFreshTest,
    testing::Values(
        FreshCase{"max-age", {{"Cache-Control", "max-age=600"}}, 600},
        FreshCase{"among others, any case", {{"cache-control", "public, Max-Age=\"90\""}}, 90},
        FreshCase{"less its Age", {{"Cache-Control", "max-age=600"}, {"Age", "100"}}, 500},
        FreshCase{"Expires less Date", {kDate, {"Expires", "Mon, 07 Dec 2026 08:05:00 GMT"}}, 300},
        FreshCase{"old Expires form", {kDate, {"Expires", "Monday, 07-Dec-26 08:02:00 GMT"}}, 120},
        FreshCase{"asctime Expires", {kDate, {"Expires", "Mon Dec  7 08:01:00 2026"}}, 60},
        FreshCase{
            "max-age before Expires",
            {kDate, {"Expires", "Mon, 07 Dec 2026 09:00:00 GMT"}, {"Cache-Control", "max-age=60"}},
            60},
        FreshCase{"capped at an hour", {{"Cache-Control", "max-age=31536000"}}, 3600},
        FreshCase{"huge", {{"Cache-Control", "max-age=99999999999999999999999"}}, 3600},
        FreshCase{"no-cache", {{"Cache-Control", "max-age=600, no-cache"}}, 0},
        FreshCase{"no-store", {{"Cache-Control", "no-store, max-age=600"}}, 0},
        FreshCase{"max-age=0", {{"Cache-Control", "max-age=0"}}, 0},
        FreshCase{"negative", {{"Cache-Control", "max-age=-5"}}, 0},
        FreshCase{"no number", {{"Cache-Control", "max-age=ten, max-age"}}, 0},
        FreshCase{
            "repeated", {{"Cache-Control", "max-age=600"}, {"Cache-Control", "max-age=60"}}, 0},
        FreshCase{"Expires without Date", {{"Expires", "Mon, 07 Dec 2026 08:05:00 GMT"}}, 0},
        FreshCase{"Expires of 0", {kDate, {"Expires", "0"}}, 0},
        FreshCase{"Expires past", {kDate, {"Expires", "Mon, 07 Dec 2026 07:00:00 GMT"}}, 0},
        FreshCase{"not GMT", {kDate, {"Expires", "Mon, 07 Dec 2026 08:05:00 +0100"}}, 0},
        FreshCase{"no such day", {kDate, {"Expires", "Wed, 31 Feb 2027 08:05:00 GMT"}}, 0},
        FreshCase{"two Expires",
                  {kDate, {"Expires", "Mon, 07 Dec 2026 08:05:00 GMT"}, {"Expires", "x"}},
                  0}));

// How long a first failure makes automatic fetches wait: what Retry-After asks on a 429 or 503,
// else nothing (the next reload asks, as always).
struct WaitCase {
  const char* what;
  int status;
  platform::HttpHeaders headers;
  int wait;  // seconds
};

class ConditionalFetchWaitTest : public ConditionalFetchTest,
                                 public testing::WithParamInterface<WaitCase> {};

TEST_P(ConditionalFetchWaitTest, SendsNothingBeforeTheTimeAsked) {
  const auto& [what, status, headers, wait] = GetParam();
  EXPECT_EQ(Fetch({status, headers}).nextTryIn, std::chrono::seconds(wait)) << what;
  if (wait > 0) {
    clock.Advance(std::chrono::seconds(wait - 1));
    const FetchResult early = fetch.OpenURL(kUrl, platform::FetchOrigin::Automatic);
    EXPECT_EQ(early.failure, FetchFailure::Deferred) << what;
    EXPECT_EQ(early.nextTryIn, 1s) << what;
    clock.Advance(1s);
  }
  EXPECT_TRUE(AutomaticAsks()) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConditionalFetchWaitTest,
    testing::Values(
        WaitCase{"seconds on a 503", 503, {{"Retry-After", "120"}}, 120},
        WaitCase{"seconds on a 429", 429, {{"Retry-After", " 120 "}}, 120},
        WaitCase{
            "date less Date", 503, {kDate, {"Retry-After", "Mon, 07 Dec 2026 08:10:00 GMT"}}, 600},
        WaitCase{"capped at six hours", 503, {{"Retry-After", "99999999999999999999"}}, 21600},
        WaitCase{"not on a 500", 500, {{"Retry-After", "120"}}, 0},
        WaitCase{"a few seconds", 503, {{"Retry-After", "5"}}, 5},
        WaitCase{"negative", 503, {{"Retry-After", "-120"}}, 0},
        WaitCase{"no number", 429, {{"Retry-After", "soon"}}, 0},
        WaitCase{"a past date", 503, {kDate, {"Retry-After", "Mon, 07 Dec 2026 07:10:00 GMT"}}, 0},
        WaitCase{"repeated", 503, {{"Retry-After", "120"}, {"Retry-After", "60"}}, 0},
        WaitCase{"no readable answer", 0, {}, 0}));

TEST_F(ConditionalFetchTest, BacksOffDoublingToItsCapWithJitterUntilASuccess) {
  // Each automatic fetch goes out when due and fails (nothing queued: refused).
  const auto failAgain = [this] {
    const FetchResult result = fetch.OpenURL(kUrl, platform::FetchOrigin::Automatic);
    clock.Advance(result.nextTryIn);
    return result.nextTryIn.count();
  };
  for (const int wait : {0, 30, 60, 120, 240, 480, 960, 1800, 1800}) EXPECT_EQ(failAgain(), wait);
  draw = 0.0;
  EXPECT_EQ(failAgain(), 1440);
  draw = 1.0;
  EXPECT_EQ(failAgain(), 2160);
  transport.Queue({200, {}, {"a"}});
  EXPECT_TRUE(fetch.OpenURL(kUrl, platform::FetchOrigin::Automatic).ok);
  draw = 0.5;
  EXPECT_EQ(failAgain(), 0);
  EXPECT_EQ(failAgain(), 30);
}

TEST_F(ConditionalFetchTest, APersonsFetchGoesAtOnceAndItsAnswerSetsTheRules) {
  ASSERT_TRUE(Fetch({200, {{"Cache-Control", "max-age=600"}, {"ETag", "\"v1\""}}, {"a"}}).ok);
  EXPECT_EQ(Fetch({503, {{"Retry-After", "120"}}}).status, 503) << "fresh, yet asked";
  const FetchResult again = Fetch({304, {{"Cache-Control", "max-age=60"}}});
  EXPECT_EQ(again.document, "[a]") << "asked during the wait";
  EXPECT_EQ(Header(2, "If-None-Match"), "\"v1\"");
  // The 304 ended the wait and made the copy fresh for a minute.
  clock.Advance(59s);
  EXPECT_FALSE(AutomaticAsks());
  clock.Advance(1s);
  EXPECT_TRUE(AutomaticAsks());
}

}  // namespace
