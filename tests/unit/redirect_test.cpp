// Where a redirect leads: resolved against the page that sent it, and refused when it goes too
// far, nowhere, off the web or down from https to http.
#include "platform/services/Redirect.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using platform::FetchFailure;
using platform::FollowRedirect;

struct RedirectCase {
  const char* label;
  std::string from;
  std::string location;
  int followed;
  std::string to;  // "" when refused
  FetchFailure failure;
};

void PrintTo(const RedirectCase& c, std::ostream* os) { *os << c.label; }

class RedirectTest : public testing::TestWithParam<RedirectCase> {};

TEST_P(RedirectTest, LeadsWhereItMay) {
  const RedirectCase& c = GetParam();
  const auto next = FollowRedirect(c.from, c.location, c.followed);
  EXPECT_EQ(next.failure, c.failure);
  EXPECT_EQ(next.url, c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RedirectTest,
    testing::Values(
        RedirectCase{"absolute", "http://a.example/x", "http://b.example/y", 0,
                     "http://b.example/y", FetchFailure::None},
        RedirectCase{"relative path", "http://a.example/feeds/x.xml", "y.xml", 0,
                     "http://a.example/feeds/y.xml", FetchFailure::None},
        RedirectCase{"absolute path", "https://a.example/feeds/x.xml", "/rss.php", 3,
                     "https://a.example/rss.php", FetchFailure::None},
        RedirectCase{"up a folder", "http://a.example/a/b/c.xml", "../d/./e.xml", 0,
                     "http://a.example/a/d/e.xml", FetchFailure::None},
        RedirectCase{"query only", "http://a.example/x.php?a=1", "?b=2", 0,
                     "http://a.example/x.php?b=2", FetchFailure::None},
        RedirectCase{"no scheme", "https://a.example/x", "//b.example/y", 0, "https://b.example/y",
                     FetchFailure::None},
        RedirectCase{"http to https", "http://a.example/", "https://a.example/", 0,
                     "https://a.example/", FetchFailure::None},
        // the tenth redirect is followed, the eleventh is not
        RedirectCase{"tenth", "http://a.example/", "/b", 9, "http://a.example/b",
                     FetchFailure::None},
        RedirectCase{"eleventh", "http://a.example/", "/b", 10, "", FetchFailure::TooManyRedirects},
        RedirectCase{"https to http", "https://a.example/", "http://a.example/", 0, "",
                     FetchFailure::InsecureRedirect},
        RedirectCase{"https to http, upper case", "https://a.example/", "HTTP://a.example/", 0, "",
                     FetchFailure::InsecureRedirect},
        RedirectCase{"no location", "http://a.example/", "", 0, "", FetchFailure::BadRedirect},
        RedirectCase{"to a file", "http://a.example/", "file:///C:/x.xml", 0, "",
                     FetchFailure::UnsupportedScheme},
        RedirectCase{"to ftp", "http://a.example/", "ftp://a.example/x.xml", 0, "",
                     FetchFailure::UnsupportedScheme}),
    [](const testing::TestParamInfo<RedirectCase>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

}  // namespace
