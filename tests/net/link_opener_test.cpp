// The system's link opener, against a stand-in xdg-open first on PATH that records what it
// was given.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "platform/qt/SystemServiceClasses.h"

namespace {

bool WaitFor(const std::function<bool()>& condition) {
  QDeadlineTimer deadline(10000);
  while (!condition() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return condition();
}

class LinkOpener : public testing::Test {
 protected:
  QTemporaryDir dir;
  QByteArray savedPath = qgetenv("PATH");
  platform::ProcessLinkOpener opener;

  void TearDown() override { qputenv("PATH", savedPath); }

  // A stand-in opener first on PATH that writes the number of its arguments, then each one,
  // a line each.
  void InstallOpener() {
    QFile script(dir.filePath("xdg-open"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.args.tmp\"\n"
        "mv \"$0.args.tmp\" \"$0.args\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", dir.path().toLocal8Bit() + ":" + savedPath);
  }
};

TEST_F(LinkOpener, HandsTheLinkOverUnchangedAsOneArgument) {
  InstallOpener();
  const std::string link = "http://x.example/a b?q=1&r='$(true)'#\xC3\xA9";
  EXPECT_TRUE(opener.Open(link));
  QFile args(dir.filePath("xdg-open.args"));
  ASSERT_TRUE(WaitFor([&] { return args.exists(); }));
  ASSERT_TRUE(args.open(QIODevice::ReadOnly));
  EXPECT_EQ(args.readAll().toStdString(), "1\n" + link + "\n");
}

TEST_F(LinkOpener, ReportsAnOpenerThatCannotStart) {
  qputenv("PATH", dir.path().toLocal8Bit());  // no opener there
  EXPECT_FALSE(opener.Open("http://x.example/"));
}

}  // namespace
