// Which links of a feed go to the system's opener.
#include "platform/services/WebLink.h"

#include <gtest/gtest.h>

namespace {

using platform::IsWebLink;

// Only web addresses reach the opener: the feed decides the text, not what runs.
struct LinkCase {
  const char* link;
  bool opened;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.link; }

class HostileLinks : public testing::TestWithParam<LinkCase> {};

TEST_P(HostileLinks, OnlyHttpAndHttpsAreOpened) {
  EXPECT_EQ(IsWebLink(GetParam().link), GetParam().opened) << GetParam().link;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileLinks,
    testing::Values(LinkCase{"http://www.tallowmere.example/", true},
                    LinkCase{"HTTPS://www.tallowmere.example/", true},
                    LinkCase{"  \thttp://leading.blanks.example/", true},
                    LinkCase{"\n    http://pretty.printed.example/\n  ", true},
                    LinkCase{"\r\nhttps://crlf.example/\r\n", true}, LinkCase{"\n  \t\n", false},
                    LinkCase{"-x", false}, LinkCase{"--help", false},
                    LinkCase{"file:///etc/passwd", false}, LinkCase{"FILE:///etc/passwd", false},
                    LinkCase{"javascript:alert(1)", false}, LinkCase{"http:/one-slash", false},
                    LinkCase{"httpx://www.example/", false}, LinkCase{"", false},
                    LinkCase{"   ", false}, LinkCase{"mailto:someone@example.com", false}));

}  // namespace
