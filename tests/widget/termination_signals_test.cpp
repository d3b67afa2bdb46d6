// The signals that tell the program to end reach it as an ordinary event, after the signal
// itself has returned; the strip window then saves and the program ends as at any close.
#include <gtest/gtest.h>
#include <signal.h>

#include "platform/services/Profile.h"
#include "widget/support/SessionForTest.h"
#include "widget/support/TickerHarness.h"
#include "widget/support/WaitFor.h"

namespace {

sighandler_t Disposition(int signal) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

TEST(TerminationSignals, EachSignalCallsTheHandlerFromTheEventLoop) {
  ::signal(SIGHUP, SIG_IGN);  // as under nohup
  {
    SessionForTest session;
    int calls = 0;
    session.OnEnd([&calls] { ++calls; });
    EXPECT_EQ(Disposition(SIGHUP), SIG_IGN) << "a signal ignored at start stays ignored";

    for (const int signal : {SIGTERM, SIGINT, SIGTERM}) {
      const int before = calls;
      ASSERT_EQ(::raise(signal), 0);
      EXPECT_EQ(calls, before) << "never inside the signal itself";
      EXPECT_TRUE(WaitFor([&] { return calls == before + 1; })) << signal;
    }
    EXPECT_EQ(session.exits, 0) << "the handler decides; the signal itself ends nothing";
  }
  ::signal(SIGHUP, SIG_DFL);
}

TEST(TerminationSignals, HangUpCallsTheHandlerWhenItWasNotIgnored) {
  ::signal(SIGHUP, SIG_DFL);
  SessionForTest session;
  int calls = 0;
  session.OnEnd([&calls] { ++calls; });
  ASSERT_EQ(::raise(SIGHUP), 0);
  EXPECT_TRUE(WaitFor([&] { return calls == 1; }));
}

// Until the program has a handler the signals keep their own effect (ending the program at
// once); a session that goes gives them back as they were.
TEST(TerminationSignals, AreCaughtOnlyWhileASessionHasAHandler) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::signal(signal, SIG_DFL);
  {
    SessionForTest session;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
      EXPECT_EQ(Disposition(signal), SIG_DFL) << signal;
    }
    session.OnEnd([] {});
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
      EXPECT_NE(Disposition(signal), SIG_DFL) << signal;
    }
  }
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    EXPECT_EQ(Disposition(signal), SIG_DFL) << signal;
  }
}

// A signal that comes while a fetch waits and the dialog holds an unapplied edit: the strip
// saves what the box holds and where it stands, and the program ends without loading.
TEST(TerminationSignals, TheStripSavesAndTheProgramEndsAsAtAnyClose) {
  TickerHarness h;
  SessionForTest session{h.fakes.engine};
  h.UseSession(session);
  h.download.Put(FeedUrl("rss.php"), "<rss><item><title>One</title></item></rss>");
  h.WriteSettings(SettingsText(FeedUrl("rss.php"), "300", "450"));
  h.Start();
  frmTicker& t = h.ticker();
  session.OnEnd([&t] {
    if (!t.Closed()) t.Unload();
  });
  t.picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
  h.options().cboURL.setText(FeedUrl("typed.php"));
  t.Move(1500, 2250);
  bool closedDuringFetch = false;
  h.download.StallNext([&] {
    ::raise(SIGTERM);
    closedDuringFetch = WaitFor([&] { return t.Closed(); });
    h.download.Release();
  });
  const int requests = h.download.calls();
  t.picTitle.DblClick();

  EXPECT_TRUE(closedDuringFetch);
  EXPECT_TRUE(t.Closed());
  EXPECT_EQ(session.exits, 1);
  EXPECT_EQ(h.download.calls(), requests + 1) << "only the fetch under way";
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "Default URL", "", h.SettingsPath()),
            FeedUrl("typed.php"));
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowX", "", h.SettingsPath()), "1500");
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowY", "", h.SettingsPath()), "2250");
}

}  // namespace
