// The WinINet download against the sample feed server, under Wine: success, failures of every
// kind, the limits, and the message loop that keeps running while a fetch waits.
#include "platform/win32/WinInetDownload.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>

using namespace std::chrono_literals;
using platform::FetchFailure;
using platform::FetchResult;
using platform::win32::WinInetDownload;

namespace {

const std::string kFeed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss><channel><item><title>Caf\xC3\xA9 "
    "&amp; bar</title></item></channel></rss>\n";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The server started by with_feed_server.py.
class FeedServer {
 public:
  bool Running() const { return !port_.empty() && !root_.empty(); }
  std::string Url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + port_ + pathAndQuery;
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(root_ + "\\" + name, std::ios::binary) << bytes;
  }
  std::string Log() const {
    std::ifstream in(root_ + "\\requests.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string port_ = Environment("FEED_PORT");
  std::string root_ = Environment("FEED_ROOT");
};

class WinInetDownloadTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Running()) << "run under with_feed_server.py";
    server.Put("feed.xml", kFeed);
    server.Put("story.txt", "STORY \nHEADLINE One\nURL http://www.tallowmere.example/1\n");
  }

  FeedServer server;
  WinInetDownload download;
};

TEST_F(WinInetDownloadTest, FetchesTheWholeDocument) {
  const FetchResult result = download.OpenURL(server.Url("/feed.xml"));
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.document, kFeed);
  EXPECT_FALSE(download.StillExecuting());
}

// HTTPS goes through Windows' own certificate checks: a certificate that no root of the store
// vouches for ends the fetch as a failed handshake, with nothing of the document.
TEST_F(WinInetDownloadTest, AnUntrustedCertificateFailsTheHandshake) {
  const std::string port = Environment("FEED_TLS_PORT");
  ASSERT_FALSE(port.empty()) << "run under with_feed_server.py";
  const FetchResult result = download.OpenURL("https://127.0.0.1:" + port + "/feed.xml");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failure, FetchFailure::TlsHandshakeFailed) << result.error;
  EXPECT_TRUE(result.document.empty());
  EXPECT_FALSE(download.StillExecuting());
}

struct FailureCase {
  const char* label;
  std::string query;  // path and query on the server
  FetchFailure failure;
  int status;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.label; }

class WinInetFailureTest : public WinInetDownloadTest,
                           public testing::WithParamInterface<FailureCase> {};

TEST_P(WinInetFailureTest, FailsWithItsKind) {
  const FailureCase& c = GetParam();
  download.setRequestTimeout(2s);
  const FetchResult result = download.OpenURL(server.Url(c.query));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failure, c.failure) << result.error;
  EXPECT_EQ(result.status, c.status);
  EXPECT_TRUE(result.document.empty());
  EXPECT_EQ(result.error, platform::FailureText(c.failure, c.status));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WinInetFailureTest,
    testing::Values(
        FailureCase{"missing file", "/missing.xml", FetchFailure::HttpStatus, 404},
        FailureCase{"server error", "/feed.xml?status=503", FetchFailure::HttpStatus, 503},
        // a 304 to a request that asked for nothing held
        FailureCase{"unasked 304", "/feed.xml?status=304", FetchFailure::HttpStatus, 304},
        FailureCase{"redirect loop", "/feed.xml?redirect_loop=1", FetchFailure::TooManyRedirects,
                    302},
        FailureCase{"redirect without a Location", "/feed.xml?status=302",
                    FetchFailure::BadRedirect, 302}),
    [](const testing::TestParamInfo<FailureCase>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// Statuses below 400 other than redirects are answers.
TEST_F(WinInetDownloadTest, StatusesBelow400AreAnswers) {
  for (int status : {203, 399}) {
    const FetchResult result =
        download.OpenURL(server.Url("/feed.xml?status=" + std::to_string(status)));
    EXPECT_TRUE(result.ok) << status << ": " << result.error;
    EXPECT_EQ(result.status, status);
  }
}

TEST_F(WinInetDownloadTest, AConnectionResetMidBodyFails) {
  const FetchResult result = download.OpenURL(server.Url("/gen.xml?size=100000&cut=1000"));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.failure, FetchFailure::None);
  EXPECT_TRUE(result.document.empty());
}

TEST_F(WinInetDownloadTest, AContentLengthSmallerThanTheBodyYieldsOnlyTheAnnouncedBytes) {
  server.Put("big.xml", std::string(5000, 'x'));
  const FetchResult result = download.OpenURL(server.Url("/big.xml?liar=100"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, std::string(100, 'x'));
  // The surplus bytes must not spill into the next fetch.
  const FetchResult next = download.OpenURL(server.Url("/feed.xml"));
  EXPECT_TRUE(next.ok) << next.error;
  EXPECT_EQ(next.document, kFeed);
}

TEST_F(WinInetDownloadTest, FollowsRedirects) {
  const FetchResult absolute =
      download.OpenURL(server.Url("/start.xml?redirect=" + server.Url("/feed.xml")));
  EXPECT_TRUE(absolute.ok) << absolute.error;
  EXPECT_EQ(absolute.document, kFeed);
  const FetchResult relative = download.OpenURL(server.Url("/start.xml?redirect=/feed.xml"));
  EXPECT_TRUE(relative.ok) << relative.error;
  EXPECT_EQ(relative.document, kFeed);
  EXPECT_NE(server.Log().find(" 302"), std::string::npos) << server.Log();
}

TEST_F(WinInetDownloadTest, RefusesWhatIsNoWebAddress) {
  EXPECT_EQ(download.OpenURL("ftp://127.0.0.1/feed.xml").failure, FetchFailure::UnsupportedScheme);
  EXPECT_EQ(download.OpenURL("file:///C:/feed.xml").failure, FetchFailure::UnsupportedScheme);
  EXPECT_EQ(download.OpenURL("feed.xml").failure, FetchFailure::MalformedUrl);
  EXPECT_EQ(download.OpenURL("http://").failure, FetchFailure::MalformedUrl);
  EXPECT_EQ(download.OpenURL("").failure, FetchFailure::MalformedUrl);
}

TEST_F(WinInetDownloadTest, UnpacksGzip) {
  const FetchResult result = download.OpenURL(server.Url("/feed.xml?gzip=1"));
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, kFeed);
}

struct CapCase {
  const char* label;
  std::string query;
  std::size_t cap;
  bool ok;
  std::size_t size = 0;  // of the document when ok
};

void PrintTo(const CapCase& c, std::ostream* os) { *os << c.label; }

class WinInetCapTest : public WinInetDownloadTest, public testing::WithParamInterface<CapCase> {};

TEST_P(WinInetCapTest, KeepsTheCap) {
  const CapCase& c = GetParam();
  download.setMaxBytes(c.cap);
  const FetchResult result = download.OpenURL(server.Url("/gen.xml?" + c.query));
  EXPECT_EQ(result.ok, c.ok) << result.error;
  if (c.ok) {
    EXPECT_EQ(result.document.size(), c.size);
  } else {
    EXPECT_EQ(result.failure, FetchFailure::TooLarge);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WinInetCapTest,
    testing::Values(
        // exactly at the cap passes; one byte over fails, announced or counted
        CapCase{"at the cap", "size=5000", 5000, true, 5000},
        CapCase{"one over, announced", "size=5001", 5000, false},
        CapCase{"one over, packed and counted", "size=5001&gzip=1", 5000, false},
        CapCase{"at the cap, packed", "size=5000&gzip=1", 5000, true, 5000},
        // a length that understates the body cannot smuggle more past the cap: only the
        // announced bytes are taken
        CapCase{"understated length", "size=1000000&liar=500", 1000, true, 500}),
    [](const testing::TestParamInfo<CapCase>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST_F(WinInetDownloadTest, AServerThatSendsNothingTimesOut) {
  download.setRequestTimeout(500ms);
  const FetchResult result = download.OpenURL(server.Url("/feed.xml?delay=30"));
  EXPECT_EQ(result.failure, FetchFailure::TimedOut);
  EXPECT_FALSE(download.StillExecuting());
}

TEST_F(WinInetDownloadTest, AStallMidBodyTimesOut) {
  download.setRequestTimeout(500ms);
  const FetchResult result = download.OpenURL(server.Url("/gen.xml?size=100000&stall=1"));
  EXPECT_EQ(result.failure, FetchFailure::TimedOut);
}

TEST_F(WinInetDownloadTest, ASlowButSteadyServerHitsTheTotalLimit) {
  download.setRequestTimeout(10s);
  download.setTotalTimeLimit(2s);
  const FetchResult result = download.OpenURL(server.Url("/feed.xml?trickle=1"));
  EXPECT_EQ(result.failure, FetchFailure::TookTooLong);
}

// A feed whose ETag or Last-Modified came back is asked for conditionally; the server's 304
// gives the document already held.
TEST_F(WinInetDownloadTest, ANotModifiedAnswerGivesTheHeldDocument) {
  const FetchResult first = download.OpenURL(server.Url("/feed.xml"));
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.status, 200);
  const FetchResult second = download.OpenURL(server.Url("/feed.xml"));
  ASSERT_TRUE(second.ok) << second.error;
  EXPECT_EQ(second.status, 304);
  EXPECT_EQ(second.document, kFeed);
  EXPECT_NE(server.Log().find("GET /feed.xml 304"), std::string::npos) << server.Log();
  // A changed file is fetched whole.
  server.Put("feed.xml", kFeed + "<!-- new -->\n");
  const FetchResult third = download.OpenURL(server.Url("/feed.xml"));
  EXPECT_EQ(third.status, 200);
  EXPECT_EQ(third.document, kFeed + "<!-- new -->\n");
}

struct CharsetCase {
  const char* label;
  std::string bytes;  // the file as stored
  std::string query;
  std::string expected;
};

void PrintTo(const CharsetCase& c, std::ostream* os) { *os << c.label; }

class WinInetCharsetTest : public WinInetDownloadTest,
                           public testing::WithParamInterface<CharsetCase> {};

TEST_P(WinInetCharsetTest, DecodesTheDocument) {
  const CharsetCase& c = GetParam();
  server.Put("doc.xml", c.bytes);
  const FetchResult result = download.OpenURL(server.Url("/doc.xml" + c.query));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WinInetCharsetTest,
    testing::Values(
        // the header names it
        CharsetCase{"header", "caf\xE9", "?charset=iso-8859-1", "caf\xC3\xA9"},
        // the file is UTF-8 and the server transcodes it, saying so
        CharsetCase{"transcoded Cyrillic", "\xD0\x9F", "?encode=koi8-r&charset=koi8-r", "\xD0\x9F"},
        // the XML declaration names it
        CharsetCase{"declaration", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\x80", "",
                    "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\xE2\x82\xAC"},
        // a byte-order mark beats the header
        CharsetCase{"byte-order mark", std::string("\xFF\xFEh\0i\0", 6), "?charset=utf-8", "hi"},
        // nothing said: UTF-8 when valid, else Windows-1252
        CharsetCase{"valid UTF-8", "\xE6\x97\xA5", "", "\xE6\x97\xA5"},
        CharsetCase{"Windows-1252 last", "\x93hi\x94", "", "\xE2\x80\x9Chi\xE2\x80\x9D"}),
    [](const testing::TestParamInfo<CharsetCase>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// A window of the test's own, whose messages arrive while a fetch waits.
class MessageWindow {
 public:
  explicit MessageWindow(std::function<void()> onPoke) : onPoke_(std::move(onPoke)) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"WinInetDownloadTestWindow";
    ::RegisterClassW(&windowClass);
    hwnd_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, windowClass.hInstance, this);
  }
  ~MessageWindow() { ::DestroyWindow(hwnd_); }
  void Poke() const { ::PostMessageW(hwnd_, kPoke, 0, 0); }

 private:
  static constexpr UINT kPoke = WM_APP + 1;
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == kPoke) {
      reinterpret_cast<MessageWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))->onPoke_();
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  std::function<void()> onPoke_;
  HWND hwnd_ = nullptr;
};

// The server holds its answer for 30 s, so the message posted before the fetch is handled
// while it waits: the window's code runs, a second fetch is refused as busy, and a WM_QUIT
// ends the wait as cancelled and stays in the queue for the program's own loop.
TEST_F(WinInetDownloadTest, MessagesRunWhileAFetchWaitsAndAQuitCancelsIt) {
  bool handled = false;
  bool executing = false;
  FetchResult second;
  MessageWindow window([&] {
    handled = true;
    executing = download.StillExecuting();
    second = download.OpenURL(server.Url("/story.txt"));
    ::PostQuitMessage(7);
  });
  window.Poke();
  const FetchResult first = download.OpenURL(server.Url("/feed.xml?delay=30"));
  EXPECT_TRUE(handled);
  EXPECT_TRUE(executing);
  EXPECT_EQ(second.failure, FetchFailure::Busy);
  EXPECT_EQ(first.failure, FetchFailure::Cancelled);
  EXPECT_FALSE(download.StillExecuting());
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
  // The download is free again.
  EXPECT_TRUE(download.OpenURL(server.Url("/story.txt")).ok);
}

// The download destroyed by the window's code while it waits: the fetch ends cancelled and
// touches nothing of it afterwards.
TEST_F(WinInetDownloadTest, DestroyingTheDownloadDuringAFetchCancelsIt) {
  auto owned = std::make_unique<WinInetDownload>();
  WinInetDownload* raw = owned.get();
  MessageWindow window([&] { owned.reset(); });
  window.Poke();
  const FetchResult result = raw->OpenURL(server.Url("/feed.xml?delay=30"));
  EXPECT_EQ(result.failure, FetchFailure::Cancelled);
  EXPECT_EQ(owned, nullptr);
}

}  // namespace
