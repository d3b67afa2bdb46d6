#include "platform/qt/SwayIpc.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <cstdint>
#include <cstring>
#include <optional>

namespace platform {

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr std::size_t kMagicSize = sizeof(kMagic) - 1;
constexpr std::size_t kHeaderSize = kMagicSize + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetConfig = 9;
// sway answers at once; a compositor that does not within this is not waited for.
constexpr int kTimeoutMs = 500;
constexpr std::uint32_t kLongestAnswer = 1 << 20;

QString SocketPath() { return qEnvironmentVariable("SWAYSOCK"); }

// Reads exactly size bytes before the deadline; none when the socket closes or stays silent.
std::optional<QByteArray> ReadExactly(QLocalSocket& socket, qint64 size,
                                      const QDeadlineTimer& deadline) {
  while (socket.bytesAvailable() < size) {
    if (socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired() ||
        !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      return std::nullopt;
    }
  }
  return socket.read(size);
}

// The payload of sway's answer to one message of the type, none when there is no answer.
std::optional<QByteArray> Ask(std::uint32_t type, const QByteArray& payload) {
  const QString path = SocketPath();
  if (path.isEmpty()) return std::nullopt;
  const QDeadlineTimer deadline(kTimeoutMs);
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kTimeoutMs)) return std::nullopt;
  QByteArray message(kMagic, kMagicSize);
  const auto length = static_cast<std::uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), sizeof length);
  message.append(reinterpret_cast<const char*>(&type), sizeof type);
  message.append(payload);
  socket.write(message);
  while (socket.bytesToWrite() > 0) {
    if (deadline.hasExpired() ||
        !socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
      return std::nullopt;
    }
  }
  const std::optional<QByteArray> header = ReadExactly(socket, kHeaderSize, deadline);
  if (!header || !header->startsWith(kMagic)) return std::nullopt;
  std::uint32_t answerLength = 0;
  std::uint32_t answerType = 0;
  std::memcpy(&answerLength, header->constData() + kMagicSize, sizeof answerLength);
  std::memcpy(&answerType, header->constData() + kMagicSize + sizeof answerLength,
              sizeof answerType);
  if (answerType != type || answerLength > kLongestAnswer) return std::nullopt;
  return ReadExactly(socket, answerLength, deadline);
}

}  // namespace

bool InSwaySession() { return !SocketPath().isEmpty(); }

bool RunSwayCommands(const std::string& commands) {
  const std::optional<QByteArray> answer = Ask(kRunCommand, QByteArray::fromStdString(commands));
  if (!answer) return false;
  // One result per command: [{"success": true}, {"success": false, "error": "..."}].
  const QJsonDocument results = QJsonDocument::fromJson(*answer);
  if (!results.isArray() || results.array().isEmpty()) return false;
  for (const QJsonValue& result : results.array()) {
    if (!result.toObject().value(QLatin1String("success")).toBool()) return false;
  }
  return true;
}

std::string SwayConfigText() {
  const std::optional<QByteArray> answer = Ask(kGetConfig, {});
  if (!answer) return {};
  const QJsonDocument config = QJsonDocument::fromJson(*answer);
  return config.object().value(QLatin1String("config")).toString().toStdString();
}

}  // namespace platform
