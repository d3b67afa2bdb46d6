#include "widget/support/StandInOpener.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <cstdlib>

namespace {

QString LogPath(const QTemporaryDir& folder) { return folder.filePath("calls.log"); }

}  // namespace

StandInOpener::StandInOpener() {
  const char* path = std::getenv("PATH");
  oldPath_ = path ? path : "";
  QFile script(folder_.filePath("xdg-open"));
  script.open(QIODevice::WriteOnly);
  // The log's path is a temporary folder's: no quote can occur in it.
  script.write(("#!/usr/bin/env python3\nimport json, sys\nwith open('" + LogPath(folder_) +
                "', 'a', encoding='utf-8', errors='surrogateescape') as f:\n"
                "    f.write(json.dumps(sys.argv[1:]) + '\\n')\n")
                   .toUtf8());
  script.close();
  script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  setenv("PATH", (folder_.path().toStdString() + ":" + oldPath_).c_str(), 1);
}

StandInOpener::~StandInOpener() { setenv("PATH", oldPath_.c_str(), 1); }

std::vector<std::vector<std::string>> StandInOpener::Calls(std::size_t expected, int timeoutMs) {
  std::vector<std::vector<std::string>> calls;
  auto read = [&] {
    calls.clear();
    QFile log(LogPath(folder_));
    if (!log.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& line : log.readAll().split('\n')) {
      if (line.isEmpty()) continue;
      std::vector<std::string> args;
      for (const auto& value : QJsonDocument::fromJson(line).array())
        args.push_back(value.toString().toStdString());
      calls.push_back(args);
    }
  };
  (void)QTest::qWaitFor(
      [&] {
        read();
        return calls.size() >= expected;
      },
      timeoutMs);
  read();
  return calls;
}
