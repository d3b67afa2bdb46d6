// The decisions a feed URL makes before any fetch: the home-domain gate, the parser chosen by
// the URL, and whether a saved URL replaces the default at start-up.
#include <gtest/gtest.h>

#include <string_view>

#include "feed/FeedUrl.h"

namespace {

using feed::FeedFormat;

constexpr std::string_view kDomain = "tallowmere.example";
constexpr std::string_view kDefault = "http://www.tallowmere.example/rss.php";

struct UrlCase {
  const char* name;
  std::string_view url;
  bool fromHome;      // passes the home-domain gate
  FeedFormat format;  // the parser its document goes to
  bool takenIfSaved;  // replaces the default when read from the settings at start-up
};

void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.name; }

class FeedUrlTable : public testing::TestWithParam<UrlCase> {};

TEST_P(FeedUrlTable, GateFormatAndStartUpAgree) {
  const UrlCase& c = GetParam();
  EXPECT_EQ(feed::ComesFromHomeDomain(c.url, kDomain), c.fromHome);
  EXPECT_EQ(feed::FormatOfUrl(c.url), c.format);
  EXPECT_EQ(feed::TakesSavedUrl(c.url, kDefault, kDomain), c.takenIfSaved);
  // Start-up never takes a URL that the loader would then refuse.
  if (feed::TakesSavedUrl(c.url, kDefault, kDomain)) {
    EXPECT_TRUE(feed::ComesFromHomeDomain(c.url, kDomain));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FeedUrlTable,
    testing::Values(
        UrlCase{"Default", kDefault, true, FeedFormat::Rss, false},
        // The default in other letters is still the default: it is not listed twice.
        UrlCase{"DefaultOtherCase", "HTTP://WWW.Tallowmere.Example/RSS.php", true, FeedFormat::Rss,
                false},
        // One byte more than the default is another URL.
        UrlCase{"DefaultPlusSlash", "http://www.tallowmere.example/rss.php/", true, FeedFormat::Rss,
                true},
        UrlCase{"OtherPageOfHome", "https://news.tallowmere.example/world.xml", true,
                FeedFormat::Rss, true},
        UrlCase{"DomainInCapitals", "http://TALLOWMERE.EXAMPLE/feed", true, FeedFormat::Rss, true},
        // The gate is a search of the whole URL, not a check of the host.
        UrlCase{"DomainOnlyInQuery", "http://elsewhere.test/?from=tallowmere.example", true,
                FeedFormat::Rss, true},
        UrlCase{"Foreign", "http://elsewhere.test/rss.php", false, FeedFormat::Rss, false},
        // One letter short of the domain is not the domain.
        UrlCase{"DomainCutShort", "http://tallowmere.exampl/rss.php", false, FeedFormat::Rss,
                false},
        UrlCase{"Empty", "", false, FeedFormat::Rss, false},
        UrlCase{"TickerInPath", "http://www.tallowmere.example/ticker.txt", true,
                FeedFormat::StoryList, true},
        UrlCase{"TickerInHostCapitals", "http://TICKER.tallowmere.example/rss.php", true,
                FeedFormat::StoryList, true},
        UrlCase{"TickerMixedCaseInQuery", "http://www.tallowmere.example/rss.php?v=TiCkEr", true,
                FeedFormat::StoryList, true},
        // "tick" and "ticke" are not the mark; the mark split by a character is not either.
        UrlCase{"TickerIncomplete", "http://www.tallowmere.example/ticke-r/tick", true,
                FeedFormat::Rss, true},
        UrlCase{"ForeignStoryList", "http://elsewhere.test/ticker", false, FeedFormat::StoryList,
                false}),
    [](const testing::TestParamInfo<UrlCase>& info) { return info.param.name; });

TEST(FeedUrl, TheHomeDomainIsTheOneGiven) {
  // The gate follows the domain the program is built for, whatever it is.
  EXPECT_TRUE(feed::ComesFromHomeDomain("https://news.example/feed", "NEWS.example"));
  EXPECT_FALSE(feed::ComesFromHomeDomain("http://www.tallowmere.example/", "news.example"));
  EXPECT_TRUE(
      feed::TakesSavedUrl("https://news.example/b", "https://news.example/a", "news.example"));
  EXPECT_FALSE(
      feed::TakesSavedUrl("HTTPS://NEWS.EXAMPLE/A", "https://news.example/a", "news.example"));
}

}  // namespace
