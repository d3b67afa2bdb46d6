// The sample feed server run by a test: a python process serving a fresh temporary folder
// on a free port of 127.0.0.1.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <string>

class FeedServer {
 public:
  explicit FeedServer(const QStringList& extraArguments = {}) {
    if (!root_.isValid()) return;
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start("python3", QStringList{FEED_SERVER, "--root", root_.path(), "--port", "0",
                                          "--log", root_.filePath("requests.log")} +
                                  extraArguments);
    // Generous deadlines: on a busy machine the interpreter alone may take seconds to start.
    if (!process_.waitForStarted(30000)) return;
    while (!process_.canReadLine()) {
      if (!process_.waitForReadyRead(30000)) return;
    }
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT ")) port_ = line.mid(5).toInt();
  }

  ~FeedServer() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }

  FeedServer(const FeedServer&) = delete;
  FeedServer& operator=(const FeedServer&) = delete;

  bool Running() const { return port_ > 0; }
  int Port() const { return port_; }

  std::string Url(const std::string& pathAndQuery, const char* scheme = "http") const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
  }

  // Writes a file under the served folder, creating its folders.
  void Put(const QString& name, const QByteArray& bytes) const {
    const QString path = root_.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  }

  QString Root() const { return root_.path(); }

  // Sends GET /__control?QUERY and waits for the answer without an event loop, so that it
  // works from inside a fetch's own loop; true when the server answered.
  bool Control(const std::string& query) const {
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", static_cast<quint16>(port_));
    if (!socket.waitForConnected(5000)) return false;
    socket.write(QByteArray("GET /__control?") + query.c_str() +
                 " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    if (!socket.waitForBytesWritten(5000)) return false;
    QByteArray answer;
    while (socket.waitForReadyRead(5000)) answer += socket.readAll();
    return answer.startsWith("HTTP/1.0 200") || answer.startsWith("HTTP/1.1 200");
  }

  // The request log so far, one "METHOD TARGET STATUS" line per answered request.
  QString Log() const {
    QFile file(root_.filePath("requests.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

 private:
  QTemporaryDir root_;
  QProcess process_;
  int port_ = 0;
};
