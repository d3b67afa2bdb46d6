#include "widget/support/FeedServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FeedServer::FeedServer() : log_(root_.filePath("server.log")) {
  QDir(root_.path()).mkpath("files");
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start("python3",
                 {FEED_SERVER, "--root", root_.filePath("files"), "--port", "0", "--log", log_});
  // Generous deadlines: on a busy machine the interpreter alone may take seconds to start.
  if (!process_.waitForStarted(30000)) return;
  while (process_.waitForReadyRead(30000)) {
    while (process_.canReadLine()) {
      const QString line = QString::fromUtf8(process_.readLine()).trimmed();
      if (line.startsWith("PORT ")) {
        port_ = line.mid(5).toInt();
        return;
      }
    }
  }
}

FeedServer::~FeedServer() { Stop(); }

void FeedServer::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

void FeedServer::AddFile(const std::string& path, const std::string& content) {
  const QString full = root_.filePath("files/" + QString::fromStdString(path));
  QDir().mkpath(QFileInfo(full).path());
  QFile file(full);
  if (file.open(QIODevice::WriteOnly)) file.write(content.data(), qint64(content.size()));
}

std::string FeedServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

std::vector<std::string> FeedServer::RequestedPaths() const {
  std::vector<std::string> paths;
  QFile file(log_);
  if (!file.open(QIODevice::ReadOnly)) return paths;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() >= 2 && (fields[0] == "GET" || fields[0] == "HEAD"))
      paths.push_back(fields[1].toStdString());
  }
  return paths;
}

std::vector<std::string> FeedServer::Statuses() const {
  std::vector<std::string> statuses;
  QFile file(log_);
  if (!file.open(QIODevice::ReadOnly)) return statuses;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() >= 3) statuses.push_back(fields[2].toStdString());
  }
  return statuses;
}
