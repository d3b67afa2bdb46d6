// The sample feed server (tools/feedserver.py) started on 127.0.0.1 for one test.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <string>

class FeedServer {
 public:
  // Serves the files of a fresh temporary folder; put files there with AddFile.
  FeedServer();
  ~FeedServer();
  FeedServer(const FeedServer&) = delete;
  FeedServer& operator=(const FeedServer&) = delete;

  bool running() const { return port_ > 0; }
  int port() const { return port_; }
  // Writes a file under the served folder (path relative to it, folders created).
  void AddFile(const std::string& path, const std::string& content);
  // http://127.0.0.1:PORT/ followed by path.
  std::string Url(const std::string& path) const;
  // Paths requested so far, in order (from the server's log).
  std::vector<std::string> RequestedPaths() const;
  // The status of each answer so far, in order ("200", "304", ...).
  std::vector<std::string> Statuses() const;
  // Stops the server (a later fetch finds no one listening).
  void Stop();

 private:
  QTemporaryDir root_;
  QProcess process_;
  QString log_;
  int port_ = 0;
};
