// The one running copy on Linux: the copy that holds a lock on "<key>.lock" in the user's
// private runtime folder is the one; it listens on the local socket "<key>" beside it, where a
// later start asks it for the strip or its options. The kernel drops the lock of a process that
// ends in any way, so a killed copy stops no one; its socket file is replaced by the next holder.
#include "platform/services/RunningCopy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <utility>

namespace platform {

namespace {

// How long a later start keeps trying while the running copy holds the lock but does not
// answer: it may be between taking the lock and listening, or saving on its way out.
constexpr auto kPatience = std::chrono::seconds(5);
constexpr int kStepMs = 1000;
constexpr unsigned long kRetryMs = 50;

// The request is one line, what the start wants and the launcher's startup notification id:
// "strip ID" or "options ID"; the answer says the copy shows (or will show) it.
constexpr char kStrip[] = "strip";
constexpr char kOptions[] = "options";
constexpr char kShown[] = "shown\n";
constexpr qint64 kLongestLine = 512;

QByteArray RequestLine(const LaterStart& request) {
  QByteArray line = request.wants == LaterStart::Wants::Options ? kOptions : kStrip;
  line += ' ';
  // An id is printable text; one that is not, or is too long to be one, is left out.
  const std::string& id = request.startupId;
  const bool printable =
      std::all_of(id.begin(), id.end(), [](char c) { return c > ' ' && c < 127; });
  if (printable && id.size() + sizeof kOptions + 1 < static_cast<std::size_t>(kLongestLine)) {
    line += QByteArray::fromStdString(id);
  }
  return line + '\n';
}

// The request of a line, or nullopt for a line that is none.
std::optional<LaterStart> RequestOf(const QByteArray& line) {
  if (!line.endsWith('\n')) return std::nullopt;
  const QByteArray text = line.chopped(1);
  const qsizetype space = text.indexOf(' ');
  const QByteArray wants = space < 0 ? text : text.left(space);
  LaterStart request;
  if (wants == kOptions) {
    request.wants = LaterStart::Wants::Options;
  } else if (wants != kStrip) {
    return std::nullopt;
  }
  if (space >= 0) request.startupId = text.mid(space + 1).toStdString();
  return request;
}

// Hands the copy listening at socketPath the request; true once it has said it shows it.
bool AskRunningCopy(const QString& socketPath, const LaterStart& request) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(kStepMs)) return false;
  socket.write(RequestLine(request));
  if (!socket.waitForBytesWritten(kStepMs)) return false;
  QByteArray answer;
  while (!answer.contains('\n') && answer.size() < kLongestLine &&
         socket.waitForReadyRead(kStepMs)) {
    answer += socket.readAll();
  }
  return answer == kShown;
}

void Warn(const char* what, const std::string& why) {
  std::cerr << "ticker: " << what << ": " << why << '\n';
}

}  // namespace

struct RunningCopy::Impl {
  int lock = -1;
  QLocalServer server;
  std::function<bool(const LaterStart&)> handler;

  ~Impl() {
    server.close();
    if (lock >= 0) ::close(lock);
  }

  // Only the lock's holder gets here: a socket file already there is a dead copy's.
  void Listen(const QString& socketPath) {
    QLocalServer::removeServer(socketPath);
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(socketPath)) {
      Warn("later starts cannot reach this one", server.errorString().toStdString());
      return;
    }
    QObject::connect(&server, &QLocalServer::newConnection, &server, [this] {
      while (QLocalSocket* socket = server.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket,
                         [this, socket] { Answer(socket); });
      }
    });
  }

  void Answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
      // Whatever sends this much without a line break is not a start of ours.
      if (socket->bytesAvailable() > kLongestLine) socket->abort();
      return;
    }
    const std::optional<LaterStart> request = RequestOf(socket->readLine(kLongestLine + 1));
    const QPointer<QLocalSocket> alive(socket);
    const bool shown = request && handler && handler(*request);
    if (!alive) return;
    if (shown) socket->write(kShown);
    socket->disconnectFromServer();
  }
};

RunningCopy::RunningCopy(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

RunningCopy::~RunningCopy() = default;

void RunningCopy::OnAsked(std::function<bool(const LaterStart&)> handler) {
  d->handler = std::move(handler);
}

std::unique_ptr<RunningCopy> RunningCopy::Claim(const std::string& key, const LaterStart& request) {
  auto impl = std::make_unique<Impl>();
  // This process as the one copy, or, without a lock or mutex, a copy that holds nothing.
  const auto run = [&impl] {
    return std::unique_ptr<RunningCopy>(new RunningCopy(std::move(impl)));
  };
  // The user's own folder (mode 0700), made when missing; "" when no such folder can be had,
  // which the toolkit has said on standard error.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return run();
  const QString socketPath = folder + '/' + QString::fromStdString(key);
  const QByteArray lockPath = QFile::encodeName(socketPath + ".lock");
  // Not inherited: a browser started from a headline must not keep the key after we end.
  impl->lock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (impl->lock < 0) {
    Warn("cannot tell whether a copy with these settings runs", std::strerror(errno));
    return run();
  }
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  for (;;) {
    if (::flock(impl->lock, LOCK_EX | LOCK_NB) == 0) {
      impl->Listen(socketPath);
      return run();
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      Warn("cannot tell whether a copy with these settings runs", std::strerror(errno));
      ::close(std::exchange(impl->lock, -1));
      return run();
    }
    if (AskRunningCopy(socketPath, request)) return nullptr;
    if (std::chrono::steady_clock::now() >= deadline) return nullptr;
    QThread::msleep(kRetryMs);
  }
}

}  // namespace platform
