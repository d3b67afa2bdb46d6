// The signals that tell the program to end reach it as an ordinary event, after the signal
// itself has returned; the strip window then saves and the program ends as at any close.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "platform/Profile.h"
#include "platform/TerminationSignals.h"
#include "widget/support/FeedServer.h"
#include "widget/support/TickerHarness.h"

namespace {

bool WaitFor(const std::function<bool()>& condition) {
  QDeadlineTimer deadline(10000);
  while (!condition() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return condition();
}

bool Ignored(int signal) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler == SIG_IGN;
}

// Runs first in this program: SIGHUP starts ignored, as under nohup.
TEST(TerminationSignals, EachSignalCallsTheHandlerFromTheEventLoop) {
  ::signal(SIGHUP, SIG_IGN);
  int calls = 0;
  ASSERT_TRUE(platform::OnTerminationSignal([&calls] { ++calls; }));
  EXPECT_TRUE(Ignored(SIGHUP)) << "a signal ignored at start stays ignored";

  for (const int signal : {SIGTERM, SIGINT, SIGTERM}) {
    const int before = calls;
    ASSERT_EQ(::raise(signal), 0);
    EXPECT_EQ(calls, before) << "never inside the signal itself";
    EXPECT_TRUE(WaitFor([&] { return calls == before + 1; })) << signal;
  }
  ::signal(SIGHUP, SIG_DFL);
}

TEST(TerminationSignals, HangUpCallsTheHandlerWhenItWasNotIgnored) {
  ::signal(SIGHUP, SIG_DFL);
  int calls = 0;
  ASSERT_TRUE(platform::OnTerminationSignal([&calls] { ++calls; }));
  ASSERT_EQ(::raise(SIGHUP), 0);
  EXPECT_TRUE(WaitFor([&] { return calls == 1; }));
}

// A signal that comes while a fetch waits and the dialog holds an unapplied edit: the strip
// saves what the box holds and where it stands, and the program ends without loading.
TEST(TerminationSignals, TheStripSavesAndTheProgramEndsAsAtAnyClose) {
  FeedServer server;
  ASSERT_TRUE(server.running());
  server.AddFile("tallowmere.example/rss.php", "<rss><item><title>One</title></item></rss>");
  TickerHarness h;
  h.WriteSettings(SettingsText(server.Url("tallowmere.example/rss.php"), "300", "450"));
  h.Start();
  frmTicker& t = h.ticker();
  ASSERT_TRUE(platform::OnTerminationSignal([&t] {
    if (!t.Closed()) t.Unload();
  }));
  t.picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
  h.options().cboURL.setText(server.Url("tallowmere.example/typed.php"));
  t.Move(1500, 2250);
  t.strUrl = server.Url("tallowmere.example/rss.php?delay=1");
  QTimer::singleShot(100, [] { ::raise(SIGTERM); });
  t.picTitle.DblClick();

  EXPECT_TRUE(t.Closed());
  EXPECT_EQ(h.programEnds, 1);
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "Default URL", "", h.SettingsPath()),
            server.Url("tallowmere.example/typed.php"));
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowX", "", h.SettingsPath()), "1500");
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowY", "", h.SettingsPath()), "2250");
  platform::OnTerminationSignal(nullptr);
}

}  // namespace
