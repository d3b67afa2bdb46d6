// Loading a feed onto the strip: the home-domain gate, the busy title picture, the choice of
// parser, and what a failed download leaves behind.
#include <gtest/gtest.h>

#include "widget/support/TickerHarness.h"

namespace {

using platform::FetchFailure;
using Origin = platform::FetchOrigin;

const std::string kRssUrl = FeedUrl("rss.php");
const std::string kStoriesUrl = FeedUrl("Ticker.txt");

const std::string kRss =
    "<rss><channel><title>Channel</title>"
    "<item><title>First</title><link>http://www.tallowmere.example/1</link></item>"
    "<item><title>Second</title><link>http://www.tallowmere.example/2</link></item>"
    "</channel></rss>";
const std::string kStories =
    "STORY \nHEADLINE Story one\nURL http://www.tallowmere.example/s1\n"
    "HEADLINE Story two\nURL http://www.tallowmere.example/s2\n";

class LoadPageTest : public testing::Test {
 protected:
  void SetUp() override {
    h.download.Put(kRssUrl, kRss);
    h.download.Put(kStoriesUrl, kStories);
    h.WriteSettings(SettingsText(kRssUrl));
    h.Start();
    ASSERT_EQ(h.ticker().items().size(), 3u);
  }

  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (const auto& item : h.ticker().items()) titles.push_back(item.strTitle);
    return titles;
  }

  TickerHarness h;
};

TEST_F(LoadPageTest, AnEmptyUrlDoesNothing) {
  const int requests = h.download.calls();
  h.ticker().strUrl.clear();
  h.ticker().LoadPage();
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(h.download.calls(), requests);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"", "First", "Second"}));
}

TEST_F(LoadPageTest, AUrlOutsideTheHomeDomainIsRefusedWithOneWarningAndNoFetch) {
  const int requests = h.download.calls();
  h.ticker().strUrl = "http://www.elsewhere.example/rss.php";
  h.ticker().LoadPage();
  ASSERT_EQ(h.messages.size(), 1u);
  EXPECT_EQ(h.messages[0].prompt, "The URL entered does not come from Tallowmere");
  EXPECT_EQ(h.messages[0].style, 48);
  EXPECT_EQ(h.download.calls(), requests);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"", "First", "Second"}));
  EXPECT_EQ(h.ticker().picTitle.Picture(), h.ticker().imgNormal.Picture());
}

TEST_F(LoadPageTest, TheTitleShowsTheBusyPictureWhileTheFetchWaits) {
  bool sampled = false;
  platform::StdPicture busyPicture;
  platform::Color busyColor = 0;
  h.download.StallNext([&] {
    sampled = true;
    busyPicture = h.ticker().picTitle.Picture();
    busyColor = h.ticker().picTitle.BackColor();
    h.download.Release();
  });
  h.ticker().LoadPage();
  ASSERT_TRUE(sampled);
  EXPECT_EQ(busyPicture, h.ticker().imgDownloading.Picture());
  EXPECT_EQ(busyColor, 0xFFFFFFu);
  EXPECT_EQ(h.ticker().picTitle.Picture(), h.ticker().imgNormal.Picture());
  EXPECT_EQ(h.ticker().picTitle.BackColor(), 0x80FFu);
}

TEST_F(LoadPageTest, AUrlWithTickerInAnyCaseIsReadAsAStoryList) {
  h.ticker().strUrl = kStoriesUrl;
  h.ticker().LoadPage();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Story one", "Story two", ""}));
  EXPECT_EQ(h.ticker().lblItem.Count(), 3);
  EXPECT_EQ(h.ticker().lblItem(0).Caption(), "Story one");
}

TEST_F(LoadPageTest, AnRssDocumentAtATickerUrlYieldsNoItems) {
  h.download.Put("http://www.tallowmere.example/TICKER.php", kRss);
  h.ticker().strUrl = "http://www.tallowmere.example/TICKER.php";
  h.ticker().LoadPage();
  EXPECT_EQ(Titles(), (std::vector<std::string>{""}));
}

struct FailureCase {
  const char* name;
  FetchFailure failure;
  int status;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FailedLoad : public LoadPageTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedLoad, KeepsTheItemsAndLabelsAndSaysWhyInTheTooltip) {
  const FailureCase& c = GetParam();
  h.fakes.clock.now = FakeClock::Local(2026, 12, 7, 18, 5);
  h.download.Queue(FakeDownload::Failure(c.failure, c.status));
  h.ticker().LoadPage();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"", "First", "Second"}));
  EXPECT_EQ(h.ticker().lblItem.Count(), 3);
  EXPECT_EQ(h.ticker().lblItem(2).Caption(), "Second");
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(h.ticker().picTitle.Picture(), h.ticker().imgNormal.Picture());
  EXPECT_EQ(h.ticker().picTitle.BackColor(), 0x80FFu);
  // The time is the clock's, in local time, and the reason the download's own.
  EXPECT_EQ(h.ticker().picTitle.ToolTipText(),
            "Tallowmere RSS Feed - rightclick to display options\nLast update failed at 18:05: " +
                platform::FailureText(c.failure, c.status));

  // The next good load clears the reason.
  h.ticker().LoadPage();
  EXPECT_EQ(h.ticker().picTitle.ToolTipText(),
            "Tallowmere RSS Feed - rightclick to display options");
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedLoad,
                         testing::Values(FailureCase{"NotFound", FetchFailure::HttpStatus, 404},
                                         FailureCase{"ServerError", FetchFailure::HttpStatus, 500},
                                         FailureCase{"RedirectLoop", FetchFailure::TooManyRedirects,
                                                     0},
                                         FailureCase{"CutShort", FetchFailure::ConnectionClosed, 0},
                                         FailureCase{"Refused", FetchFailure::ConnectionRefused, 0},
                                         FailureCase{"Stalled", FetchFailure::TimedOut, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadPageTest, TheTooltipSaysWhenTheServerIsAskedAgainUntilThen) {
  h.fakes.clock.now = FakeClock::Local(2026, 12, 7, 18, 5);
  platform::FetchResult busy = FakeDownload::Failure(FetchFailure::HttpStatus, 503);
  busy.nextTryIn = std::chrono::minutes(2);
  h.download.Queue(busy);
  h.ticker().LoadPage();
  const std::string told =
      "Tallowmere RSS Feed - rightclick to display options\nLast update failed at 18:05: "
      "HTTP 503\nNext try after 18:07";
  EXPECT_EQ(h.ticker().picTitle.ToolTipText(), told);
  h.download.Queue(FakeDownload::Failure(FetchFailure::Deferred));
  h.ticker().LoadPage();
  EXPECT_EQ(h.ticker().picTitle.ToolTipText(), told);
  EXPECT_EQ(h.ticker().picTitle.Picture(), h.ticker().imgNormal.Picture());
  EXPECT_EQ(Titles(), (std::vector<std::string>{"", "First", "Second"}));
}

TEST_F(LoadPageTest, CallsWhileTheFetchWaitsReturnAtOnceAndMakeOneLoadAfterIt) {
  const int requests = h.download.calls();
  int nestedReturned = 0;
  bool loadingDuringFetch = false;
  bool downloadWaiting = false;
  h.download.StallNext([&] {
    loadingDuringFetch = h.ticker().loading();
    downloadWaiting = h.download.StillExecuting();
    h.ticker().LoadPage();
    ++nestedReturned;
    // The URL in force when the fetch ends is the one loaded next; asking twice loads once.
    h.ticker().strUrl = "http://www.tallowmere.example/rss.php?first-edit";
    h.ticker().LoadPage();
    ++nestedReturned;
    h.ticker().strUrl = kStoriesUrl;
    h.download.Release();
  });
  h.ticker().LoadPage();
  EXPECT_TRUE(loadingDuringFetch);
  EXPECT_TRUE(downloadWaiting);
  EXPECT_EQ(nestedReturned, 2);
  ASSERT_EQ(h.download.calls(), requests + 2) << "the calls during the fetch never reach it";
  EXPECT_EQ(h.download.urls.back(), kStoriesUrl);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Story one", "Story two", ""}));
  EXPECT_FALSE(h.ticker().loading());

  // Nothing is left over for a later call.
  h.ticker().LoadPage();
  EXPECT_EQ(h.download.calls(), requests + 3);
}

// Where a slow fetch can be under way when the user applies a new URL in the dialog.
struct SlowFetchCase {
  const char* name;
  bool endOfRun;  // the end-of-run reload; otherwise a double-click on the title picture
};

void PrintTo(const SlowFetchCase& c, std::ostream* os) { *os << c.name; }

class EditDuringAFetch : public LoadPageTest, public testing::WithParamInterface<SlowFetchCase> {};

TEST_P(EditDuringAFetch, TheEditedUrlIsLoadedAsSoonAsTheFetchEnds) {
  frmTicker& t = h.ticker();
  bool dialogClosed = false;
  h.download.StallNext([&] {
    t.picTicker.MouseDown(platform::vbRightButton, 0, 10, 10);
    h.download.Release();
    ASSERT_TRUE(h.options().Visible());
    h.options().cboURL.setText(kStoriesUrl);
    h.options().cmdClose_Click();
    dialogClosed = !h.options().Visible();
  });
  if (GetParam().endOfRun) {
    t.picTicker.setLeft(-1000000);
    t.tmrScroll_Timer();
    EXPECT_EQ(t.picTicker.Left(), t.Width() + 30);
  } else {
    t.picTitle.DblClick();
  }
  EXPECT_TRUE(dialogClosed);
  EXPECT_EQ(h.download.urls.back(), kStoriesUrl);
  // The strip's own reload keeps to the server's rules; the person's, the URL applied, not.
  EXPECT_EQ(
      h.download.origins,
      (std::vector{Origin::Automatic, GetParam().endOfRun ? Origin::Automatic : Origin::Person,
                   Origin::Person}));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Story one", "Story two", ""}));
  EXPECT_EQ(t.lblItem(0).Caption(), "Story one");
  EXPECT_FALSE(t.optionsOpen());
  EXPECT_TRUE(t.tmrScroll.Enabled());
}

INSTANTIATE_TEST_SUITE_P(Cases, EditDuringAFetch,
                         testing::Values(SlowFetchCase{"DoubleClickReload", false},
                                         SlowFetchCase{"EndOfRunReload", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadPageTest, ClosingTheWindowDuringTheFetchLeavesItAlone) {
  h.ticker().strUrl = kStoriesUrl;
  h.download.StallNext([&] {
    h.ticker().Unload();
    h.download.Release();
  });
  h.ticker().LoadPage();
  EXPECT_TRUE(h.ticker().Closed());
  EXPECT_EQ(h.programEnds, 1);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"", "First", "Second"}));
}

TEST_F(LoadPageTest, OptionsOpenedDuringAnEndOfRunReloadKeepTheStripStill) {
  h.ticker().picTicker.setLeft(-1000000);  // the row has run out
  h.download.StallNext([&] {
    h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 10, 10);
    h.download.Release();
  });
  h.ticker().tmrScroll_Timer();
  EXPECT_TRUE(h.ticker().optionsOpen());
  EXPECT_FALSE(h.ticker().tmrScroll.Enabled());
  EXPECT_FALSE(h.ticker().tmrMouse.Enabled());
  EXPECT_EQ(h.ticker().picTicker.Left(), h.ticker().Width() + 30);
}

TEST(LoadPageFirstFailure, LaysOutTheEmptyListSoNoDesignCaptionShows) {
  TickerHarness h;
  h.WriteSettings(SettingsText(kRssUrl));
  h.download.Queue(FakeDownload::Failure(FetchFailure::ConnectionRefused));
  h.Start();
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.items().size(), 1u);
  EXPECT_EQ(t.lblItem.Count(), 1);
  EXPECT_EQ(t.lblItem(0).Caption(), "");
  EXPECT_EQ(t.picTicker.Width(), 240);
  EXPECT_EQ(t.Height(), t.picTicker.Height());
  EXPECT_EQ(t.picTicker.Height(), t.lblItem(0).Height() + 60);
  EXPECT_TRUE(t.tmrScroll.Enabled());
}

}  // namespace
