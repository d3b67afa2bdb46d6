// HTTPS: certificates are verified, and a redirect from HTTPS down to HTTP is refused. The
// sample feed server serves TLS with a certificate made for the test.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "net/support/FeedServer.h"
#include "platform/services/Inet.h"

using platform::FetchFailure;
using platform::FetchResult;
using platform::Inet;

namespace {

class InetTlsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(keys.isValid());
    const QString openssl = QStandardPaths::findExecutable("openssl");
    if (openssl.isEmpty()) GTEST_SKIP() << "openssl is not installed; it makes the certificate";
    QProcess make;
    make.start(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                         "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                         keys.filePath("key.pem"), "-out", keys.filePath("cert.pem")});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

    tls = std::make_unique<FeedServer>(QStringList{"--tls-cert", keys.filePath("cert.pem"),
                                                   "--tls-key", keys.filePath("key.pem")});
    ASSERT_TRUE(tls->Running());
    tls->Put("feed.xml", "<rss>secure</rss>");
    ASSERT_TRUE(plain.Running());
    plain.Put("feed.xml", "<rss>plain</rss>");
    original = QSslConfiguration::defaultConfiguration();
  }

  void TearDown() override { QSslConfiguration::setDefaultConfiguration(original); }

  void TrustTheTestCertificate() {
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.addCaCertificates(QSslCertificate::fromPath(keys.filePath("cert.pem")));
    QSslConfiguration::setDefaultConfiguration(trusting);
  }

  QTemporaryDir keys;
  std::unique_ptr<FeedServer> tls;
  FeedServer plain;
  QSslConfiguration original;
  Inet inet{Inet::Definition{}};
};

TEST_F(InetTlsTest, AnUntrustedCertificateFails) {
  const FetchResult result = inet.OpenURL(tls->Url("/feed.xml", "https"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failure, FetchFailure::TlsHandshakeFailed);
  EXPECT_TRUE(result.document.empty());
}

TEST_F(InetTlsTest, ATrustedCertificateIsAccepted) {
  TrustTheTestCertificate();
  const FetchResult result = inet.OpenURL(tls->Url("/feed.xml", "https"));
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, "<rss>secure</rss>");
}

TEST_F(InetTlsTest, ARedirectFromHttpsDownToHttpIsRefused) {
  TrustTheTestCertificate();
  const FetchResult result =
      inet.OpenURL(tls->Url("/start.xml?redirect=" + plain.Url("/feed.xml"), "https"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failure, FetchFailure::InsecureRedirect);
  EXPECT_FALSE(plain.Log().contains("/feed.xml")) << "the plain server was asked";
}

TEST_F(InetTlsTest, ARedirectFromHttpUpToHttpsIsFollowed) {
  TrustTheTestCertificate();
  const FetchResult result =
      inet.OpenURL(plain.Url("/start.xml?redirect=" + tls->Url("/feed.xml", "https")));
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.document, "<rss>secure</rss>");
}

}  // namespace
