// The one running copy on Linux: the copy that holds a lock on "<key>.lock" in the user's
// private runtime folder is the one; it listens on the local socket "<key>" beside it, where a
// later start asks it for the strip or its options. The kernel drops the lock of a process that
// ends in any way, so a killed copy stops no one; its socket file is replaced by the next holder.
#include "platform/services/CopyKey.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <utility>

namespace platform {

namespace {

constexpr int kStepMs = 1000;

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

class LockFileKey final : public CopyKey {
 public:
  explicit LockFileKey(const std::string& key) : key_(QString::fromStdString(key)) {}
  ~LockFileKey() override {
    server_.close();
    if (lock_ >= 0) ::close(lock_);
  }

  bool open() override {
    // The user's own folder (mode 0700), made when missing; "" when no such folder can be had,
    // which the toolkit has said on standard error.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) return false;
    socketPath_ = folder + '/' + key_;
    const QByteArray lockPath = QFile::encodeName(socketPath_ + ".lock");
    // Not inherited: a browser started from a headline must not keep the key after we end.
    lock_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock_ >= 0) return true;
    Warn("cannot tell whether a copy with these settings runs", std::strerror(errno));
    return false;
  }

  Lock tryLock() override {
    if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) return Lock::Taken;
    if (errno == EWOULDBLOCK || errno == EINTR) return Lock::Held;
    Warn("cannot tell whether a copy with these settings runs", std::strerror(errno));
    ::close(std::exchange(lock_, -1));
    return Lock::Failed;
  }

  bool ask(const LaterStart& request) override { return AskRunningCopy(socketPath_, request); }

  // Only the lock's holder gets here: a socket file already there is a dead copy's.
  void listen() override {
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath_)) {
      Warn("later starts cannot reach this one", server_.errorString().toStdString());
      return;
    }
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
      while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket,
                         [this, socket] { answer(socket); });
      }
    });
  }

 private:
  void answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
      // Whatever sends this much without a line break is not a start of ours.
      if (socket->bytesAvailable() > kLongestLine) socket->abort();
      return;
    }
    const std::optional<LaterStart> request = RequestOf(socket->readLine(kLongestLine + 1));
    const QPointer<QLocalSocket> alive(socket);
    const bool shown = request && asked(*request);
    if (!alive) return;
    if (shown) socket->write(kShown);
    socket->disconnectFromServer();
  }

  QString key_;
  QString socketPath_;
  int lock_ = -1;
  QLocalServer server_;
};

}  // namespace

std::unique_ptr<CopyKey> CopyKeyFor(const std::string& key) {
  return std::make_unique<LockFileKey>(key);
}

}  // namespace platform
