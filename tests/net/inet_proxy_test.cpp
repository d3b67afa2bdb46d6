// The proxy named by the usual environment variables (http_proxy, no_proxy) is used. The
// sample feed server doubles as the proxy: it serves absolute-form requests from ROOT/host/.
#include <gtest/gtest.h>

#include <QTcpServer>

#include "net/support/FeedServer.h"
#include "platform/services/Inet.h"

using platform::FetchFailure;
using platform::FetchResult;
using platform::Inet;

namespace {

class InetProxyTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Running());
    server.Put("news.tallowmere.example/feed.xml", "<rss>through the proxy</rss>");
    server.Put("feed.xml", "<rss>direct</rss>");
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "no_proxy",
                             "NO_PROXY", "all_proxy", "ALL_PROXY"}) {
      qunsetenv(name);
    }
  }
  void TearDown() override {
    qunsetenv("http_proxy");
    qunsetenv("no_proxy");
  }

  static int DeadPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
  }

  FeedServer server;
};

TEST_F(InetProxyTest, HttpProxyVariableIsUsed) {
  qputenv("http_proxy", QByteArray::fromStdString(server.Url("")));
  Inet inet(Inet::Definition{});
  // The host does not resolve: only a proxy can answer.
  const FetchResult result = inet.OpenURL("http://news.tallowmere.example/feed.xml");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, "<rss>through the proxy</rss>");
  EXPECT_TRUE(server.Log().contains("GET http://news.tallowmere.example/feed.xml 200"))
      << server.Log().toStdString();
}

TEST_F(InetProxyTest, AnUnreachableProxyFailsTheFetch) {
  qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(DeadPort()));
  Inet inet(Inet::Definition{});
  const FetchResult result = inet.OpenURL("http://news.tallowmere.example/feed.xml");
  EXPECT_FALSE(result.ok);
  // Refused by the proxy's port; a direct attempt would have failed on the name instead.
  EXPECT_EQ(result.failure, FetchFailure::ConnectionRefused);
}

TEST_F(InetProxyTest, NoProxyVariableBypassesTheProxy) {
  qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(DeadPort()));
  qputenv("no_proxy", "127.0.0.1,localhost");
  Inet inet(Inet::Definition{});
  const FetchResult result = inet.OpenURL(server.Url("/feed.xml"));
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, "<rss>direct</rss>");
}

}  // namespace
