// The synchronous download over Qt Network: one GET inside a local event loop, bounded in
// time and size.
#include "platform/services/Inet.h"

#include "platform/services/HeldDocuments.h"

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
#include <memory>
#include <string>
#include <utility>

namespace platform {
namespace {

constexpr qint64 kReadChunk = 64 * 1024;
constexpr int kMaxRedirects = 10;

FetchFailure FailureOf(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
      return FetchFailure::ConnectionRefused;
    case QNetworkReply::RemoteHostClosedError:
      return FetchFailure::ConnectionClosed;
    case QNetworkReply::HostNotFoundError:
      return FetchFailure::HostNotFound;
    case QNetworkReply::TimeoutError:
      return FetchFailure::TimedOut;
    case QNetworkReply::OperationCanceledError:
      return FetchFailure::Cancelled;
    case QNetworkReply::SslHandshakeFailedError:
      return FetchFailure::TlsHandshakeFailed;
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
    case QNetworkReply::UnknownNetworkError:
      return FetchFailure::NoConnection;
    case QNetworkReply::TooManyRedirectsError:
      return FetchFailure::TooManyRedirects;
    case QNetworkReply::InsecureRedirectError:
      return FetchFailure::InsecureRedirect;
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::UnknownProxyError:
      return FetchFailure::ProxyFailed;
    case QNetworkReply::ProtocolUnknownError:
      return FetchFailure::UnsupportedScheme;
    case QNetworkReply::UnknownContentError:
      return FetchFailure::BadContent;
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::UnknownServerError:
      return FetchFailure::ProtocolError;
    default:
      return FetchFailure::DownloadFailed;
  }
}

// One fetch in progress: a GET inside a local event loop, bounded in time and size, with one
// handler for each signal of the reply and of the two timers. It lives on OpenURL's stack, so
// that the Inet may even be destroyed while the fetch waits without the fetch touching it
// afterwards.
class Fetch final {
 public:
  Fetch(const QNetworkRequest& request, std::chrono::milliseconds stall,
        std::chrono::milliseconds total, qint64 maxBytes);
  ~Fetch() = default;
  Fetch(const Fetch&) = delete;
  Fetch& operator=(const Fetch&) = delete;

  // Waits until the answer is complete, the network fails, a limit is reached or Cancel is
  // called; afterwards the reply sends nothing more.
  void Wait();
  // Ends the wait because the Inet that started the fetch is being destroyed.
  void Cancel();

  // Why the wait was cut short: None when the network finished or failed by itself.
  FetchFailure Stopped() const { return stop_; }
  bool OwnerGone() const { return ownerGone_; }
  // The final status (set once the headers of a final answer came).
  int Status() const { return status_; }
  const QNetworkReply& Reply() const { return *reply_; }
  // Reads what is left after the final signal; false when it takes the body past the cap.
  bool ReadRest() { return ReadAvailable(); }
  // The body read so far, handed over once.
  QByteArray TakeBody() { return std::exchange(body_, QByteArray()); }

 private:
  void OnMetaDataChanged();
  void OnReadyRead();
  void OnProgress();
  void OnErrorOccurred();
  void OnFinished();
  void OnStallTimeout();
  void OnTotalTimeout();

  // Reads what the reply holds, up to the cap; false when the body would pass it.
  bool ReadAvailable();
  // The abort itself waits until the loop has returned: aborting from inside the reply's own
  // signals makes Qt report a second error on the same reply.
  void StopWith(FetchFailure why);

  QEventLoop loop_;
  // A manager of its own per fetch: no connection is reused after a server that lied about
  // its body, and nothing outlives the fetch.
  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
  QTimer stallTimer_;
  QTimer totalTimer_;
  QByteArray body_;
  const qint64 maxBytes_;
  // A limit of zero is no limit.
  const bool stallLimited_;
  const bool totalLimited_;
  FetchFailure stop_ = FetchFailure::None;
  bool ownerGone_ = false;
  bool finished_ = false;
  bool failed_ = false;
  int status_ = 0;
};

Fetch::Fetch(const QNetworkRequest& request, std::chrono::milliseconds stall,
             std::chrono::milliseconds total, qint64 maxBytes)
    : maxBytes_(maxBytes), stallLimited_(stall.count() > 0), totalLimited_(total.count() > 0) {
  reply_ = manager_.get(request);
  reply_->setReadBufferSize(kReadChunk);
  stallTimer_.setSingleShot(true);
  stallTimer_.setInterval(stall);
  totalTimer_.setSingleShot(true);
  totalTimer_.setInterval(total);

  QObject::connect(&stallTimer_, &QTimer::timeout, &loop_, [this] { OnStallTimeout(); });
  QObject::connect(&totalTimer_, &QTimer::timeout, &loop_, [this] { OnTotalTimeout(); });
  QObject::connect(reply_, &QNetworkReply::metaDataChanged, &loop_,
                   [this] { OnMetaDataChanged(); });
  QObject::connect(reply_, &QNetworkReply::readyRead, &loop_, [this] { OnReadyRead(); });
  QObject::connect(reply_, &QNetworkReply::downloadProgress, &loop_, [this] { OnProgress(); });
  QObject::connect(reply_, &QNetworkReply::redirected, &loop_, [this] { OnProgress(); });
  QObject::connect(reply_, &QNetworkReply::errorOccurred, &loop_, [this] { OnErrorOccurred(); });
  QObject::connect(reply_, &QNetworkReply::finished, &loop_, [this] { OnFinished(); });
}

void Fetch::Wait() {
  OnProgress();
  if (totalLimited_) totalTimer_.start();
  // Returns early when the application is told to quit, or when Cancel is called.
  loop_.exec();
  stallTimer_.stop();
  totalTimer_.stop();
  if (!finished_ && !failed_ && stop_ == FetchFailure::None) stop_ = FetchFailure::Cancelled;
  if (reply_) {
    QObject::disconnect(reply_, nullptr, nullptr, nullptr);
    // An errored reply is left to the manager's destruction; aborting it reports twice.
    if (!reply_->isFinished() && reply_->error() == QNetworkReply::NoError) reply_->abort();
  }
}

void Fetch::Cancel() {
  ownerGone_ = true;
  StopWith(FetchFailure::Cancelled);
}

void Fetch::StopWith(FetchFailure why) {
  if (stop_ == FetchFailure::None) stop_ = why;
  loop_.exit();
}

void Fetch::OnProgress() {
  if (stallLimited_) stallTimer_.start();
}

void Fetch::OnStallTimeout() { StopWith(FetchFailure::TimedOut); }

void Fetch::OnTotalTimeout() { StopWith(FetchFailure::TookTooLong); }

void Fetch::OnMetaDataChanged() {
  OnProgress();
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 300 && status < 400) return;  // a redirect about to be followed
  status_ = status;
  if (status >= 400) {
    StopWith(FetchFailure::HttpStatus);
    return;
  }
  bool known = false;
  const qint64 length = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
  // The length of a packed body is not the document's: that one is only counted.
  const QByteArray encoding = reply_->rawHeader("Content-Encoding").trimmed().toLower();
  const bool packed = !encoding.isEmpty() && encoding != "identity";
  if (known && !packed && length > maxBytes_) StopWith(FetchFailure::TooLarge);
}

void Fetch::OnReadyRead() {
  OnProgress();
  if (stop_ == FetchFailure::None && !ReadAvailable()) StopWith(FetchFailure::TooLarge);
}

bool Fetch::ReadAvailable() {
  while (reply_ && reply_->bytesAvailable() > 0) {
    const qint64 room = maxBytes_ - body_.size();
    // Reading one byte past the cap is what tells "exactly at the cap" from "over it".
    const QByteArray chunk = reply_->read(std::min(kReadChunk, room + 1));
    if (chunk.isEmpty()) break;
    if (chunk.size() > room) return false;
    body_.append(chunk);
  }
  return true;
}

// WORKAROUND: Qt 6.4 reports a body that unpacks too well ("Decompression failed") by
// errorOccurred alone and never finishes the reply; an error must end the wait by itself.
void Fetch::OnErrorOccurred() {
  failed_ = true;
  loop_.exit();
}

void Fetch::OnFinished() {
  finished_ = true;
  loop_.exit();
}

}  // namespace

struct Inet::Impl {
  std::chrono::milliseconds requestTimeout;
  std::chrono::milliseconds totalTimeLimit = std::chrono::minutes(5);
  std::size_t maxBytes = 32 * 1024 * 1024;
  Fetch* current = nullptr;
  HeldDocuments held;

  // The request for url, conditional when a document is held for it: a server whose feed
  // did not change then answers 304 without a body, and the held document serves again.
  QNetworkRequest Request(const QUrl& address, const HeldDocument* heldForUrl) const {
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Over HTTP/1.1 the read buffer size throttles the socket, which keeps memory bounded.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Qt refuses a body that unpacks past about 10 MiB at a high ratio. The cap on the
    // unpacked document, counted as the bytes are read, is the limit here, whatever the
    // encoding.
    request.setDecompressedSafetyCheckThreshold(-1);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral(USER_AGENT));
    if (heldForUrl != nullptr) {
      if (!heldForUrl->etag.empty())
        request.setRawHeader("If-None-Match", QByteArray::fromStdString(heldForUrl->etag));
      if (!heldForUrl->lastModified.empty()) {
        request.setRawHeader("If-Modified-Since",
                             QByteArray::fromStdString(heldForUrl->lastModified));
      }
    }
    return request;
  }
};

Inet::Inet(const Definition& definition) : d(std::make_unique<Impl>()) {
  d->requestTimeout = std::chrono::seconds(definition.requestTimeout);
  // Reads http_proxy, https_proxy and no_proxy (through libproxy on Linux).
  QNetworkProxyFactory::setUseSystemConfiguration(true);
}

Inet::~Inet() {
  if (d->current != nullptr) d->current->Cancel();
}

bool Inet::StillExecuting() const { return d->current != nullptr; }

void Inet::setRequestTimeout(std::chrono::milliseconds stall) { d->requestTimeout = stall; }
void Inet::setTotalTimeLimit(std::chrono::milliseconds total) { d->totalTimeLimit = total; }
void Inet::setMaxBytes(std::size_t bytes) { d->maxBytes = bytes; }
std::chrono::milliseconds Inet::RequestTimeout() const { return d->requestTimeout; }

FetchResult Inet::OpenURL(const std::string& url) {
  if (d->current != nullptr) return FailedFetch(FetchFailure::Busy);
  if (QCoreApplication::instance() == nullptr) return FailedFetch(FetchFailure::NoApplication);

  const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
  if (!address.isValid() || address.isRelative()) return FailedFetch(FetchFailure::MalformedUrl);
  const QString scheme = address.scheme().toLower();
  if (scheme != "http" && scheme != "https") return FailedFetch(FetchFailure::UnsupportedScheme);
  if (address.host().isEmpty()) return FailedFetch(FetchFailure::MalformedUrl);

  const HeldDocument* const held = d->held.Find(url);
  // The list cannot change while this fetch waits: a second fetch is refused as busy.
  const bool askedConditionally = held != nullptr;
  Fetch fetch(d->Request(address, held), d->requestTimeout, d->totalTimeLimit,
              static_cast<qint64>(std::min<std::size_t>(d->maxBytes, INT64_MAX)));
  d->current = &fetch;
  fetch.Wait();
  // Once the Inet is gone, d is too.
  if (!fetch.OwnerGone()) d->current = nullptr;
  if (fetch.Stopped() != FetchFailure::None) return FailedFetch(fetch.Stopped(), fetch.Status());

  const QNetworkReply& reply = fetch.Reply();
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 400) return FailedFetch(FetchFailure::HttpStatus, status);
  if (status == HeldDocuments::kNotModified) {
    // Only an answer to a conditional request can mean the document already held.
    if (!askedConditionally || reply.error() != QNetworkReply::NoError)
      return FailedFetch(FetchFailure::HttpStatus, status);
    return d->held.Reuse(url, reply.rawHeader("ETag").toStdString(),
                         reply.rawHeader("Last-Modified").toStdString());
  }
  if (reply.error() != QNetworkReply::NoError) {
    // A redirect that could not be followed (no Location, or an unusable one).
    if (status >= 300 && status < 400 && reply.error() != QNetworkReply::TooManyRedirectsError &&
        reply.error() != QNetworkReply::InsecureRedirectError) {
      return FailedFetch(FetchFailure::BadRedirect, status);
    }
    return FailedFetch(FailureOf(reply.error()), status);
  }
  // Bytes that arrived with the final signal.
  if (!fetch.ReadRest()) return FailedFetch(FetchFailure::TooLarge, status);

  FetchResult result;
  result.ok = true;
  result.status = status;
  // One copy of a document of up to 32 MiB at a time: the bytes received are let go once
  // copied, and a document already in UTF-8 is handed on without a further copy.
  std::string bytes;
  {
    const QByteArray body = fetch.TakeBody();
    bytes.assign(body.constData(), static_cast<std::size_t>(body.size()));
  }
  result.document = DecodeDocument(std::move(bytes), reply.rawHeader("Content-Type").toStdString());
  d->held.Remember(url, reply.rawHeader("ETag").toStdString(),
                   reply.rawHeader("Last-Modified").toStdString(), result.document);
  return result;
}

}  // namespace platform
