// The download over Qt Network: the rules of a download (ConditionalFetch) over one GET at a
// time inside a local event loop.
#include "platform/services/Inet.h"

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
#include <chrono>
#include <climits>
#include <memory>
#include <string>

#include "platform/services/ConditionalFetch.h"
#include "platform/services/FetchTransport.h"

namespace platform {
namespace {

constexpr qint64 kReadChunk = 64 * 1024;

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

// One GET in progress inside a local event loop, with one handler for each signal of the reply
// and of the timer that asks the receiver whether to go on; what arrives goes to the receiver
// at once. It lives on Send's stack, so that the transport may even be destroyed while the
// request waits without the request touching it afterwards.
class Exchange final {
 public:
  Exchange(const QNetworkRequest& request, AnswerReceiver& receiver);
  ~Exchange() = default;
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  // Waits until the answer is complete or unwanted, the network fails, the receiver asks to
  // stop or Cancel is called; afterwards the reply sends nothing more.
  void Wait();
  // Ends the wait because the transport that sent the request is being destroyed.
  void Cancel();
  bool OwnerGone() const { return ownerGone_; }
  // How the request ended, once the wait is over: what arrived with the final signal is
  // handed over first.
  FetchFailure Outcome();

 private:
  void OnMetaDataChanged();
  void OnReadyRead();
  void OnProgress() { receiver_.OnProgress(); }
  // Stops when the receiver says so, else asks it again when it says.
  void AskPatience();
  // Error and end alike end the wait. WORKAROUND: Qt 6.4 reports a body that unpacks too
  // well ("Decompression failed") by errorOccurred alone and never finishes the reply.
  void OnEnded(bool& which) {
    which = true;
    loop_.exit();
  }

  // Hands the receiver what the reply holds; false once it wants no more.
  bool Deliver();
  // The abort itself waits until the loop has returned: aborting from inside the reply's own
  // signals makes Qt report a second error on the same reply.
  void StopWith(FetchFailure why);
  void Enough() {
    enough_ = true;
    loop_.exit();
  }

  QEventLoop loop_;
  // A manager of its own per request: no connection is reused after a server that lied about
  // its body, and nothing outlives the request.
  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
  QTimer patience_;
  AnswerReceiver& receiver_;
  FetchFailure stop_ = FetchFailure::None;
  bool headGiven_ = false;
  bool enough_ = false;  // the receiver wants nothing more of this answer
  bool ownerGone_ = false;
  bool finished_ = false;
  bool failed_ = false;
};

Exchange::Exchange(const QNetworkRequest& request, AnswerReceiver& receiver) : receiver_(receiver) {
  reply_ = manager_.get(request);
  reply_->setReadBufferSize(kReadChunk);
  patience_.setSingleShot(true);
  patience_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&patience_, &QTimer::timeout, &loop_, [this] { AskPatience(); });
  QObject::connect(reply_, &QNetworkReply::metaDataChanged, &loop_,
                   [this] { OnMetaDataChanged(); });
  QObject::connect(reply_, &QNetworkReply::readyRead, &loop_, [this] { OnReadyRead(); });
  QObject::connect(reply_, &QNetworkReply::downloadProgress, &loop_, [this] { OnProgress(); });
  QObject::connect(reply_, &QNetworkReply::errorOccurred, &loop_, [this] { OnEnded(failed_); });
  QObject::connect(reply_, &QNetworkReply::finished, &loop_, [this] { OnEnded(finished_); });
}

void Exchange::Wait() {
  AskPatience();
  // Returns early when the application is told to quit, or when Cancel is called. An exit
  // asked for before exec would be lost.
  if (stop_ == FetchFailure::None) loop_.exec();
  patience_.stop();
  if (!finished_ && !failed_ && !enough_ && stop_ == FetchFailure::None) {
    stop_ = FetchFailure::Cancelled;
  }
  if (reply_) {
    QObject::disconnect(reply_, nullptr, nullptr, nullptr);
    // An errored reply is left to the manager's destruction; aborting it reports twice.
    if (!reply_->isFinished() && reply_->error() == QNetworkReply::NoError) reply_->abort();
  }
}

void Exchange::Cancel() {
  ownerGone_ = true;
  StopWith(FetchFailure::Cancelled);
}

void Exchange::StopWith(FetchFailure why) {
  if (stop_ == FetchFailure::None) stop_ = why;
  loop_.exit();
}

void Exchange::AskPatience() {
  const Patience patience = receiver_.Waited();
  if (patience.stop != FetchFailure::None) {
    StopWith(patience.stop);
  } else {
    patience_.start(std::min(patience.askAgainIn, std::chrono::milliseconds(INT_MAX)));
  }
}

void Exchange::OnMetaDataChanged() {
  OnProgress();
  if (headGiven_ || enough_) return;
  headGiven_ = true;
  AnswerHead head;
  head.status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  for (const auto& [name, value] : reply_->rawHeaderPairs()) {
    head.headers.emplace_back(name.toStdString(), value.toStdString());
  }
  if (receiver_.OnHead(std::move(head)) != BodyWanted::Read) Enough();
}

void Exchange::OnReadyRead() {
  OnProgress();
  if (stop_ == FetchFailure::None && !enough_) Deliver();
}

bool Exchange::Deliver() {
  if (!headGiven_) OnMetaDataChanged();
  while (!enough_ && reply_ && reply_->bytesAvailable() > 0) {
    const QByteArray chunk = reply_->read(kReadChunk);
    if (chunk.isEmpty()) break;
    if (!receiver_.OnBody(std::string_view(chunk.constData(), chunk.size()))) Enough();
  }
  return !enough_;
}

FetchFailure Exchange::Outcome() {
  if (enough_) return FetchFailure::None;
  if (stop_ != FetchFailure::None) return stop_;
  if (!reply_) return FetchFailure::Cancelled;
  if (reply_->error() != QNetworkReply::NoError) return FailureOf(reply_->error());
  Deliver();
  return FetchFailure::None;
}

// Sends each request over Qt Network and waits for it in a local event loop.
class QtTransport final : public FetchTransport {
 public:
  QtTransport() = default;
  ~QtTransport() override {
    if (current_ != nullptr) current_->Cancel();
  }
  QtTransport(const QtTransport&) = delete;
  QtTransport& operator=(const QtTransport&) = delete;

  FetchFailure Send(const TransportRequest& request, AnswerReceiver& receiver) override {
    if (QCoreApplication::instance() == nullptr) return FetchFailure::NoApplication;
    const QUrl address(QString::fromStdString(request.url), QUrl::StrictMode);
    if (!address.isValid()) return FetchFailure::MalformedUrl;
    Exchange exchange(RequestFor(address, request.headers), receiver);
    current_ = &exchange;
    exchange.Wait();
    // Once the transport is gone, current_ is too.
    if (exchange.OwnerGone()) return FetchFailure::Cancelled;
    current_ = nullptr;
    return exchange.Outcome();
  }

 private:
  static QNetworkRequest RequestFor(const QUrl& address, const HttpHeaders& headers) {
    QNetworkRequest request(address);
    // Redirects are the fetch's to follow, by the same rules on every system.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // Over HTTP/1.1 the read buffer size throttles the socket, which keeps memory bounded.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Qt refuses a body that unpacks past about 10 MiB at a high ratio. The cap on the
    // unpacked document, counted as the bytes are read, is the limit here, whatever the
    // encoding.
    request.setDecompressedSafetyCheckThreshold(-1);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral(USER_AGENT));
    for (const auto& [name, value] : headers) {
      request.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
    }
    return request;
  }

  Exchange* current_ = nullptr;  // the request that waits, on Send's stack
};

}  // namespace

struct Inet::Impl {
  explicit Impl(const Clock& clock) : fetch(transport, &DecodeDocument, clock) {}
  // Declared first, destroyed last: a fetch waiting in it learns first that its owner is gone.
  QtTransport transport;
  ConditionalFetch fetch;
};

Inet::Inet(const Definition& definition, const Clock& clock) : d(std::make_unique<Impl>(clock)) {
  d->fetch.setRequestTimeout(std::chrono::seconds(definition.requestTimeout));
  // Reads http_proxy, https_proxy and no_proxy (through libproxy on Linux).
  QNetworkProxyFactory::setUseSystemConfiguration(true);
}

Inet::~Inet() = default;

FetchResult Inet::OpenURL(const std::string& url, FetchOrigin origin) {
  return d->fetch.OpenURL(url, origin);
}
bool Inet::StillExecuting() const { return d->fetch.StillExecuting(); }

void Inet::setRequestTimeout(std::chrono::milliseconds stall) { d->fetch.setRequestTimeout(stall); }
void Inet::setTotalTimeLimit(std::chrono::milliseconds total) { d->fetch.setTotalTimeLimit(total); }
void Inet::setMaxBytes(std::size_t bytes) { d->fetch.setMaxBytes(bytes); }
std::chrono::milliseconds Inet::RequestTimeout() const { return d->fetch.RequestTimeout(); }

}  // namespace platform
