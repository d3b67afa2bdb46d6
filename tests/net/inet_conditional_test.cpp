// The polite download: every request names the program, and a feed that did not change
// comes back as "304 Not Modified" and serves the document already held.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>

#include "net/support/FeedServer.h"
#include "platform/services/Inet.h"

using platform::FetchFailure;
using platform::FetchResult;
using platform::Inet;

namespace {

// The name the program gives itself: the home site's name without blanks, "Ticker", and the
// version.
std::string ExpectedUserAgent() {
  std::string name;
  for (const char c : std::string(HOME_SITE_NAME)) {
    if (c != ' ') name += c;
  }
  return name + "Ticker/" + PROJECT_VERSION;
}

// A server that answers each request with the next of the answers it was given, whole, and
// keeps the headers of every request.
class ScriptedServer {
 public:
  ScriptedServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Read(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }

  void Answer(const QByteArray& statusLine, const QByteArray& headers, const QByteArray& body) {
    answers_.append(statusLine + "\r\n" + headers + "Content-Length: " +
                    QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
  }

  std::string Url() const {
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + "/feed.xml";
  }
  // The headers of each request so far, names in lower case.
  const QList<QMap<QByteArray, QByteArray>>& Requests() const { return requests_; }

 private:
  void Read(QTcpSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) return;
    QMap<QByteArray, QByteArray> headers;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const qsizetype colon = lines[i].indexOf(':');
      if (colon > 0)
        headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
    }
    requests_.append(headers);
    buffers_.remove(socket);
    socket->write(answers_.isEmpty() ? QByteArray("HTTP/1.1 500 Nothing scripted\r\n"
                                                  "Content-Length: 0\r\nConnection: close\r\n\r\n")
                                     : answers_.takeFirst());
    socket->disconnectFromHost();
  }

  QTcpServer server_;
  QList<QByteArray> answers_;
  QMap<QTcpSocket*, QByteArray> buffers_;
  QList<QMap<QByteArray, QByteArray>> requests_;
};

const QByteArray kFeed =
    "<rss><channel><item><title>Harbour footbridge reopens</title></item></channel></rss>\n";
const QByteArray kNewFeed =
    "<rss><channel><item><title>Ferry timetable changes</title></item></channel></rss>\n";

// Two loads from the sample feed server: the second is a 304 and gives the same document.
TEST(InetConditional, TheSampleServerAnswers304AndTheSameDocumentServesAgain) {
  FeedServer server;
  ASSERT_TRUE(server.Running()) << "the sample feed server did not start";
  server.Put("feed.xml", kFeed);
  Inet inet{Inet::Definition{}};

  const FetchResult first = inet.OpenURL(server.Url("/feed.xml"));
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.status, 200);
  const FetchResult second = inet.OpenURL(server.Url("/feed.xml"));
  ASSERT_TRUE(second.ok) << second.error;
  EXPECT_EQ(second.status, 304);
  EXPECT_EQ(second.document, first.document);
  EXPECT_EQ(server.Log(), "GET /feed.xml 200\nGET /feed.xml 304\n");

  // A changed feed comes whole, and is then the one held.
  server.Put("feed.xml", kNewFeed);
  const FetchResult changed = inet.OpenURL(server.Url("/feed.xml"));
  EXPECT_EQ(changed.status, 200);
  EXPECT_EQ(changed.document, kNewFeed.toStdString());
  const FetchResult again = inet.OpenURL(server.Url("/feed.xml"));
  EXPECT_EQ(again.status, 304);
  EXPECT_EQ(again.document, kNewFeed.toStdString());

  // Another URL is asked for in full the first time.
  server.Put("other.xml", kFeed);
  EXPECT_EQ(inet.OpenURL(server.Url("/other.xml")).status, 200);
  // A fresh Inet holds nothing: no conditional request.
  Inet fresh{Inet::Definition{}};
  EXPECT_EQ(fresh.OpenURL(server.Url("/feed.xml")).status, 200);
}

TEST(InetConditional, EveryRequestNamesTheProgram) {
  ScriptedServer server;
  server.Answer("HTTP/1.1 200 OK", "ETag: \"v1\"\r\n", kFeed);
  server.Answer("HTTP/1.1 304 Not Modified", "", "");
  Inet inet{Inet::Definition{}};
  inet.OpenURL(server.Url());
  inet.OpenURL(server.Url());
  ASSERT_EQ(server.Requests().size(), 2);
  for (const auto& request : server.Requests()) {
    EXPECT_EQ(request.value("user-agent").toStdString(), ExpectedUserAgent());
  }
}

struct ValidatorCase {
  const char* label;
  QByteArray headers;        // validators of the first answer
  QByteArray expectedMatch;  // If-None-Match of the second request ("" = none)
  QByteArray expectedSince;  // If-Modified-Since of the second request ("" = none)
};

void PrintTo(const ValidatorCase& c, std::ostream* os) { *os << c.label; }

class InetValidators : public testing::TestWithParam<ValidatorCase> {};

// The second request repeats the validators of the first answer exactly, and only those.
TEST_P(InetValidators, AreSentBackAsGiven) {
  const ValidatorCase& c = GetParam();
  ScriptedServer server;
  server.Answer("HTTP/1.1 200 OK", c.headers, kFeed);
  server.Answer("HTTP/1.1 200 OK", "", kFeed);
  Inet inet{Inet::Definition{}};
  ASSERT_TRUE(inet.OpenURL(server.Url()).ok);
  ASSERT_TRUE(inet.OpenURL(server.Url()).ok);
  ASSERT_EQ(server.Requests().size(), 2);
  EXPECT_FALSE(server.Requests()[0].contains("if-none-match"));
  EXPECT_FALSE(server.Requests()[0].contains("if-modified-since"));
  EXPECT_EQ(server.Requests()[1].value("if-none-match"), c.expectedMatch);
  EXPECT_EQ(server.Requests()[1].value("if-modified-since"), c.expectedSince);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InetValidators,
    testing::Values(ValidatorCase{"etag", "ETag: \"abc\"\r\n", "\"abc\"", ""},
                    ValidatorCase{"weak_etag", "ETag: W/\"abc\"\r\n", "W/\"abc\"", ""},
                    ValidatorCase{"date", "Last-Modified: Sun, 06 Dec 2026 10:00:00 GMT\r\n", "",
                                  "Sun, 06 Dec 2026 10:00:00 GMT"},
                    ValidatorCase{"both",
                                  "ETag: \"x\"\r\nLast-Modified: Sun, 06 Dec 2026 10:00:00 GMT\r\n",
                                  "\"x\"", "Sun, 06 Dec 2026 10:00:00 GMT"},
                    // Nothing to compare with: the next request asks for the whole feed.
                    ValidatorCase{"none", "", "", ""}),
    [](const testing::TestParamInfo<ValidatorCase>& info) {
      return std::string(info.param.label);
    });

// A 304 to a request that asked for the whole feed cannot mean a document the program holds.
TEST(InetConditional, A304ToAnUnconditionalRequestFails) {
  ScriptedServer server;
  server.Answer("HTTP/1.1 304 Not Modified", "ETag: \"v1\"\r\n", "");
  Inet inet{Inet::Definition{}};
  const FetchResult result = inet.OpenURL(server.Url());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failure, FetchFailure::HttpStatus);
  EXPECT_EQ(result.status, 304);
}

// A failed load keeps what the last successful answer gave; a 304 may bring new validators.
TEST(InetConditional, FailuresKeepTheHeldDocumentAndA304MayRenewItsValidators) {
  ScriptedServer server;
  server.Answer("HTTP/1.1 200 OK", "ETag: \"v1\"\r\n", kFeed);
  server.Answer("HTTP/1.1 500 Internal Server Error", "", "oops");
  server.Answer("HTTP/1.1 304 Not Modified", "ETag: \"v2\"\r\n", "");
  server.Answer("HTTP/1.1 304 Not Modified", "", "");
  Inet inet{Inet::Definition{}};
  ASSERT_TRUE(inet.OpenURL(server.Url()).ok);
  EXPECT_FALSE(inet.OpenURL(server.Url()).ok);
  const FetchResult renewed = inet.OpenURL(server.Url());
  ASSERT_TRUE(renewed.ok) << renewed.error;
  EXPECT_EQ(renewed.document, kFeed.toStdString());
  const FetchResult last = inet.OpenURL(server.Url());
  ASSERT_TRUE(last.ok) << last.error;
  EXPECT_EQ(last.document, kFeed.toStdString());
  ASSERT_EQ(server.Requests().size(), 4);
  EXPECT_EQ(server.Requests()[1].value("if-none-match"), "\"v1\"");
  EXPECT_EQ(server.Requests()[2].value("if-none-match"), "\"v1\"");
  EXPECT_EQ(server.Requests()[3].value("if-none-match"), "\"v2\"");
}

}  // namespace
