// The synchronous download over Qt Network: one GET inside a local event loop, bounded in
// time and size.
#include "platform/Inet.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>

namespace platform {
namespace {

constexpr qint64 kReadChunk = 64 * 1024;
constexpr int kMaxRedirects = 10;
// Documents kept to answer a 304 Not Modified: the last few URLs, none larger than this.
constexpr std::size_t kHeldDocuments = 4;
constexpr std::size_t kMaxHeldDocument = 8 * 1024 * 1024;
constexpr int kNotModified = 304;

// What ended a fetch before the network did.
enum class Stop { None, Stalled, TooLong, TooLarge, BadStatus, Cancelled };

std::string ReasonOf(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
      return "connection refused";
    case QNetworkReply::RemoteHostClosedError:
      return "connection closed";
    case QNetworkReply::HostNotFoundError:
      return "host not found";
    case QNetworkReply::TimeoutError:
      return "timed out";
    case QNetworkReply::OperationCanceledError:
      return "cancelled";
    case QNetworkReply::SslHandshakeFailedError:
      return "TLS handshake failed";
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
    case QNetworkReply::UnknownNetworkError:
      return "no connection";
    case QNetworkReply::TooManyRedirectsError:
      return "too many redirects";
    case QNetworkReply::InsecureRedirectError:
      return "insecure redirect";
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::UnknownProxyError:
      return "proxy failed";
    case QNetworkReply::ProtocolUnknownError:
      return "unsupported scheme";
    case QNetworkReply::UnknownContentError:
      return "bad content";
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::UnknownServerError:
      return "protocol error";
    default:
      return "download failed";
  }
}

FetchResult Failure(std::string error, int status = 0) {
  FetchResult result;
  result.error = std::move(error);
  result.status = status;
  return result;
}

}  // namespace

// One fetch in progress. It lives on OpenURL's stack, so that the Inet may even be destroyed
// while the fetch waits without the fetch touching it afterwards.
struct Fetch {
  QEventLoop loop;
  QByteArray body;
  qint64 maxBytes = 0;
  Stop stop = Stop::None;
  bool finished = false;
  bool failed = false;
  int status = 0;
};

// The last successful answer for one URL: its validators and the document it gave.
struct HeldDocument {
  std::string url;
  QByteArray etag;
  QByteArray lastModified;
  std::string document;
};

struct Inet::Impl {
  Definition definition;
  std::chrono::milliseconds requestTimeout;
  std::chrono::milliseconds totalTimeLimit = std::chrono::minutes(5);
  std::size_t maxBytes = 32 * 1024 * 1024;
  Fetch* current = nullptr;
  std::deque<HeldDocument> held;  // most recent first

  const HeldDocument* Held(const std::string& url) const {
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&url](const HeldDocument& h) { return h.url == url; });
    return found == held.end() ? nullptr : &*found;
  }

  // Keeps what a successful answer gives for url; an answer without validators cannot be
  // asked for conditionally, so nothing is kept for it.
  void Remember(const std::string& url, const QNetworkReply& reply, const std::string& document) {
    std::erase_if(held, [&url](const HeldDocument& h) { return h.url == url; });
    HeldDocument entry{url, reply.rawHeader("ETag"), reply.rawHeader("Last-Modified"), document};
    if ((entry.etag.isEmpty() && entry.lastModified.isEmpty()) ||
        document.size() > kMaxHeldDocument) {
      return;
    }
    held.push_front(std::move(entry));
    if (held.size() > kHeldDocuments) held.pop_back();
  }

  // A 304 for url: the held document serves again, as the latest answer. The answer may bring
  // fresh validators; the rest stays as it was.
  FetchResult Reuse(const std::string& url, const QNetworkReply& reply) {
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&url](const HeldDocument& h) { return h.url == url; });
    HeldDocument entry = std::move(*found);
    held.erase(found);
    if (!reply.rawHeader("ETag").isEmpty()) entry.etag = reply.rawHeader("ETag");
    if (!reply.rawHeader("Last-Modified").isEmpty())
      entry.lastModified = reply.rawHeader("Last-Modified");
    FetchResult result;
    result.ok = true;
    result.status = kNotModified;
    result.document = entry.document;
    held.push_front(std::move(entry));
    return result;
  }
};

Inet::Inet(const Definition& definition) : d(std::make_unique<Impl>()) {
  d->definition = definition;
  d->requestTimeout = std::chrono::seconds(definition.requestTimeout);
  // Reads http_proxy, https_proxy and no_proxy (through libproxy on Linux).
  QNetworkProxyFactory::setUseSystemConfiguration(true);
}

Inet::~Inet() {
  if (d->current != nullptr) {
    d->current->stop = Stop::Cancelled;
    d->current->loop.exit();
  }
}

bool Inet::StillExecuting() const { return d->current != nullptr; }

void Inet::setRequestTimeout(std::chrono::milliseconds stall) { d->requestTimeout = stall; }
void Inet::setTotalTimeLimit(std::chrono::milliseconds total) { d->totalTimeLimit = total; }
void Inet::setMaxBytes(std::size_t bytes) { d->maxBytes = bytes; }
int Inet::RemotePort() const { return d->definition.remotePort; }
std::chrono::milliseconds Inet::RequestTimeout() const { return d->requestTimeout; }

FetchResult Inet::OpenURL(const std::string& url) {
  if (d->current != nullptr) return Failure("busy");
  if (QCoreApplication::instance() == nullptr) return Failure("no application");

  const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
  if (!address.isValid() || address.isRelative()) return Failure("malformed URL");
  const QString scheme = address.scheme().toLower();
  if (scheme != "http" && scheme != "https") return Failure("unsupported scheme");
  if (address.host().isEmpty()) return Failure("malformed URL");

  QNetworkRequest request(address);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  // Over HTTP/1.1 the read buffer size throttles the socket, which keeps memory bounded.
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  // Qt refuses a body that unpacks past about 10 MiB at a high ratio. The cap on the unpacked
  // document, counted below as the bytes are read, is the limit here, whatever the encoding.
  request.setDecompressedSafetyCheckThreshold(-1);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral(USER_AGENT));
  // Asked conditionally when a document is held: a server whose feed did not change then
  // answers 304 without a body, and the held document serves again.
  const HeldDocument* const held = d->Held(url);
  if (held != nullptr) {
    if (!held->etag.isEmpty()) request.setRawHeader("If-None-Match", held->etag);
    if (!held->lastModified.isEmpty())
      request.setRawHeader("If-Modified-Since", held->lastModified);
  }
  // The list cannot change while this fetch waits: a second fetch is refused as busy.
  const bool askedConditionally = held != nullptr;

  Fetch fetch;
  fetch.maxBytes = static_cast<qint64>(std::min<std::size_t>(d->maxBytes, INT64_MAX));

  // A manager of its own per fetch: no connection is reused after a server that lied about
  // its body, and nothing outlives the fetch.
  QNetworkAccessManager manager;
  QPointer<QNetworkReply> reply = manager.get(request);
  reply->setReadBufferSize(kReadChunk);

  QTimer stallTimer;
  stallTimer.setSingleShot(true);
  stallTimer.setInterval(d->requestTimeout);
  QTimer totalTimer;
  totalTimer.setSingleShot(true);
  totalTimer.setInterval(d->totalTimeLimit);

  // The abort itself waits until the loop has returned: aborting from inside the reply's own
  // signals makes Qt report a second error on the same reply.
  auto stopWith = [&fetch](Stop why) {
    if (fetch.stop == Stop::None) fetch.stop = why;
    fetch.loop.exit();
  };
  // A limit of zero is no limit.
  const bool stallLimited = d->requestTimeout.count() > 0;
  auto progressed = [&stallTimer, stallLimited] {
    if (stallLimited) stallTimer.start();
  };

  QObject::connect(&stallTimer, &QTimer::timeout, &fetch.loop,
                   [&stopWith] { stopWith(Stop::Stalled); });
  QObject::connect(&totalTimer, &QTimer::timeout, &fetch.loop,
                   [&stopWith] { stopWith(Stop::TooLong); });
  QObject::connect(reply, &QNetworkReply::metaDataChanged, &fetch.loop, [&] {
    progressed();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) return;  // a redirect about to be followed
    fetch.status = status;
    if (status >= 400) {
      stopWith(Stop::BadStatus);
      return;
    }
    bool known = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    // The length of a packed body is not the document's: that one is only counted.
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    const bool packed = !encoding.isEmpty() && encoding != "identity";
    if (known && !packed && length > fetch.maxBytes) stopWith(Stop::TooLarge);
  });
  QObject::connect(reply, &QNetworkReply::readyRead, &fetch.loop, [&] {
    progressed();
    while (fetch.stop == Stop::None && reply && reply->bytesAvailable() > 0) {
      const qint64 room = fetch.maxBytes - fetch.body.size();
      // Reading one byte past the cap is what tells "exactly at the cap" from "over it".
      const QByteArray chunk = reply->read(std::min(kReadChunk, room + 1));
      if (chunk.isEmpty()) break;
      if (chunk.size() > room) {
        stopWith(Stop::TooLarge);
        return;
      }
      fetch.body.append(chunk);
    }
  });
  QObject::connect(reply, &QNetworkReply::downloadProgress, &fetch.loop, progressed);
  QObject::connect(reply, &QNetworkReply::redirected, &fetch.loop, progressed);
  // WORKAROUND: Qt 6.4 reports a body that unpacks too well ("Decompression failed") by
  // errorOccurred alone and never finishes the reply; an error must end the wait by itself.
  QObject::connect(reply, &QNetworkReply::errorOccurred, &fetch.loop, [&fetch] {
    fetch.failed = true;
    fetch.loop.exit();
  });
  QObject::connect(reply, &QNetworkReply::finished, &fetch.loop, [&fetch] {
    fetch.finished = true;
    fetch.loop.exit();
  });

  d->current = &fetch;
  progressed();
  if (d->totalTimeLimit.count() > 0) totalTimer.start();
  // Returns early when the application is told to quit, or when this Inet is destroyed.
  fetch.loop.exec();
  stallTimer.stop();
  totalTimer.stop();

  const bool ownerGone = fetch.stop == Stop::Cancelled;
  if (!ownerGone) d->current = nullptr;
  if (!fetch.finished && !fetch.failed && fetch.stop == Stop::None) fetch.stop = Stop::Cancelled;
  if (reply) {
    QObject::disconnect(reply, nullptr, nullptr, nullptr);
    // An errored reply is left to the manager's destruction; aborting it reports twice.
    if (!reply->isFinished() && reply->error() == QNetworkReply::NoError) reply->abort();
  }

  switch (fetch.stop) {
    case Stop::Stalled:
      return Failure("timed out", fetch.status);
    case Stop::TooLong:
      return Failure("took too long", fetch.status);
    case Stop::TooLarge:
      return Failure("too large", fetch.status);
    case Stop::BadStatus:
      return Failure("HTTP " + std::to_string(fetch.status), fetch.status);
    case Stop::Cancelled:
      return Failure("cancelled", fetch.status);
    case Stop::None:
      break;
  }

  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 400) return Failure("HTTP " + std::to_string(status), status);
  if (status == kNotModified) {
    // Only an answer to a conditional request can mean the document already held.
    if (!askedConditionally || reply->error() != QNetworkReply::NoError)
      return Failure("HTTP " + std::to_string(status), status);
    return d->Reuse(url, *reply);
  }
  if (reply->error() != QNetworkReply::NoError) {
    // A redirect that could not be followed (no Location, or an unusable one).
    if (status >= 300 && status < 400 && reply->error() != QNetworkReply::TooManyRedirectsError &&
        reply->error() != QNetworkReply::InsecureRedirectError) {
      return Failure("bad redirect", status);
    }
    return Failure(ReasonOf(reply->error()), status);
  }
  // Bytes that arrived with the final signal.
  while (reply->bytesAvailable() > 0) {
    const qint64 room = fetch.maxBytes - fetch.body.size();
    const QByteArray chunk = reply->read(std::min(kReadChunk, room + 1));
    if (chunk.isEmpty()) break;
    if (chunk.size() > room) return Failure("too large", status);
    fetch.body.append(chunk);
  }

  FetchResult result;
  result.ok = true;
  result.status = status;
  // One copy of a document of up to 32 MiB at a time: the bytes received are let go once
  // copied, and a document already in UTF-8 is handed on without a further copy.
  std::string bytes(fetch.body.constData(), static_cast<std::size_t>(fetch.body.size()));
  fetch.body = QByteArray();
  result.document =
      DecodeDocument(std::move(bytes), reply->rawHeader("Content-Type").toStdString());
  d->Remember(url, *reply, result.document);
  return result;
}

}  // namespace platform
