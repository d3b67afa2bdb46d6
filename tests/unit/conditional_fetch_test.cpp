// The rules of a download over a scripted transport: addresses refused unsent, the size cap
// and the announced length, statuses, conditional requests and the 304, redirects, limits.
#include "platform/services/ConditionalFetch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/services/Redirect.h"
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
  FetchResult Fetch(Answer answer) {
    transport.Queue(std::move(answer));
    return fetch.OpenURL(kUrl);
  }
  std::string Header(std::size_t request, const char* name) const {
    return platform::AnswerHead{0, transport.requests.at(request).headers}.Header(name);
  }

  FakeTransport transport;
  std::string contentType;
  ConditionalFetch fetch{transport, [this](std::string bytes, const std::string& type) {
                           contentType = type;
                           return "[" + bytes + "]";
                         }};
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
  EXPECT_EQ(transport.requests[1].deadline, transport.requests[2].deadline);
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

TEST_F(ConditionalFetchTest, LimitsOfZeroAreNoLimits) {
  const auto before = std::chrono::steady_clock::now();
  Fetch({});
  EXPECT_EQ(transport.requests[0].stall, 60s);
  EXPECT_GE(transport.requests[0].deadline, before + 5min);
  EXPECT_LE(transport.requests[0].deadline, std::chrono::steady_clock::now() + 5min);
  fetch.setRequestTimeout(0ms);
  fetch.setTotalTimeLimit(-1ms);
  Fetch({});
  EXPECT_EQ(transport.requests[1].stall, 0ms);
  EXPECT_EQ(transport.requests[1].deadline, std::chrono::steady_clock::time_point::max());
}

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

}  // namespace
