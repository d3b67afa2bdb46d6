// ParseStoryList: sample lists, the marker rules (case-sensitive, found anywhere), the link
// search that starts after the headline's line, CR LF line ends, lines cut off by the end of
// the document, and the empty element at the end.
#include "feed/ParseStoryList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "support/NaiveFeedParsers.h"

namespace {

std::string ReadFeed(const std::string& name) {
  std::ifstream in(std::string(TEST_FIXTURES) + "/feeds/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ItemList Parse(std::string_view document) {
  ItemList items{{"stale", "stale", "stale"}};
  ParseStoryList(document, items);
  return items;
}

// `stories` lists elements 0 … N-1; element N is the empty one.
ItemList WithEmptyLast(ItemList stories) {
  stories.emplace_back();
  return stories;
}

struct ListCase {
  const char* name;
  std::string document;
  ItemList stories;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

std::string CaseName(const testing::TestParamInfo<ListCase>& info) { return info.param.name; }

class StoryListSampleFiles : public testing::TestWithParam<ListCase> {};

TEST_P(StoryListSampleFiles, GivesStories) {
  EXPECT_EQ(Parse(ReadFeed(GetParam().document)), WithEmptyLast(GetParam().stories));
}

INSTANTIATE_TEST_SUITE_P(
    Files, StoryListSampleFiles,
    testing::Values(
        // Headlines before "STORY " are ignored; other lines before a link line are skipped.
        ListCase{"Basic",
                 "ticker-basic.txt",
                 {{"First story", "http://www.tallowmere.example/1", ""},
                  {"Second story", "http://www.tallowmere.example/2", ""}}},
        // CR LF: the CR is part of the line end, so a bare "URL " line gives no link.
        ListCase{
            "CrLf",
            "ticker-crlf.txt",
            {{"First story", "http://www.tallowmere.example/1", ""}, {"Unlinked story", "", ""}}},
        ListCase{"MissingLinkLine",
                 "ticker-missing-link.txt",
                 {{"Lost its link", "http://www.tallowmere.example/2", ""},
                  {"Third", "http://www.tallowmere.example/3", ""}}},
        ListCase{"NoFinalLineFeed",
                 "ticker-no-final-newline.txt",
                 {{"One", "http://www.tallowmere.example/1", ""},
                  {"Two", "http://www.tallowmere.example/2", ""}}},
        ListCase{"NoStartMark", "ticker-no-story.txt", {}}),
    CaseName);

class StoryListRules : public testing::TestWithParam<ListCase> {};

TEST_P(StoryListRules, GivesStories) {
  const ItemList expected = WithEmptyLast(GetParam().stories);
  EXPECT_EQ(Parse(GetParam().document), expected);
  EXPECT_EQ(naive::ParseStoryList(GetParam().document), expected) << "reference disagrees";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StoryListRules,
    testing::Values(
        ListCase{"Empty", "", {}}, ListCase{"StartMarkOnly", "STORY \n", {}},
        ListCase{"TwoStories",
                 "STORY \nHEADLINE a\nURL u1\nHEADLINE b\nURL u2\n",
                 {{"a", "u1", ""}, {"b", "u2", ""}}},
        // Markers are case-sensitive and need their blank.
        ListCase{"LowerCaseMarkers", "story \nheadline a\nurl u\n", {}},
        ListCase{"LowerCaseHeadline",
                 "STORY \nheadline a\nURL u\nHEADLINE b\nURL v\n",
                 {{"b", "v", ""}}},
        ListCase{"MarkerWithoutBlank", "STORY\nHEADLINE a\nURL u\n", {}},
        ListCase{"HeadlineWithoutBlank",
                 "STORY \nHEADLINEa\nURLu\nHEADLINE b\nURL v\n",
                 {{"b", "v", ""}}},
        // Markers are found anywhere in a line, not only at its start.
        ListCase{"MarkersMidLine", "xSTORY yHEADLINE a b\nzzURL u v\n", {{"a b", "u v", ""}}},
        // Only the first "STORY " matters; later ones are skipped like any other text.
        ListCase{"FurtherStartMarks",
                 "STORY \nHEADLINE a\nURL u\nSTORY \nHEADLINE b\nURL v\n",
                 {{"a", "u", ""}, {"b", "v", ""}}},
        ListCase{"HeadlineBeforeStart",
                 "HEADLINE x\nURL y\nSTORY \nHEADLINE a\nURL u\n",
                 {{"a", "u", ""}}},
        // The start mark may sit on the headline's own line.
        ListCase{"StartMarkBeforeHeadlineOnLine", "STORY HEADLINE a\nURL u\n", {{"a", "u", ""}}},
        ListCase{"NotTrimmed", "STORY \nHEADLINE  a  \nURL  u \n", {{" a  ", " u ", ""}}},
        ListCase{"EmptyHeadline", "STORY \nHEADLINE \nURL u\n", {{"", "u", ""}}},
        ListCase{"EmptyLink", "STORY \nHEADLINE a\nURL \n", {{"a", "", ""}}},
        // The link is searched after the headline's line, so "URL " on that line is not it.
        ListCase{
            "UrlMarkerInHeadline", "STORY \nHEADLINE see URL x\nURL u\n", {{"see URL x", "u", ""}}},
        ListCase{"MissingLinkTakesNext",
                 "STORY \nHEADLINE a\nHEADLINE b\nURL ub\nHEADLINE c\nURL uc\n",
                 {{"a", "ub", ""}, {"c", "uc", ""}}},
        ListCase{"CrLfLines", "STORY \r\nHEADLINE a\r\nURL u\r\n", {{"a", "u", ""}}},
        ListCase{"CrLfEmptyLink", "STORY \r\nHEADLINE a\r\nURL \r\n", {{"a", "", ""}}},
        // Only the one CR next to the LF belongs to the line end.
        ListCase{"CrInsideKept", "STORY \nHEADLINE a\rb\r\r\nURL u\r\n", {{"a\rb\r", "u", ""}}},
        ListCase{"CrAtDocumentEnd", "STORY \nHEADLINE a\nURL u\r", {{"a", "u", ""}}},
        // Lines cut off by the end of the document run to its end; the scan then stops.
        ListCase{"LinkLineUnended", "STORY \nHEADLINE a\nURL u", {{"a", "u", ""}}},
        ListCase{"HeadlineLineUnended", "STORY \nHEADLINE a", {{"a", "", ""}}},
        ListCase{"HeadlineUnendedWithUrlOnLine", "STORY \nHEADLINE a URL b", {{"a URL b", "", ""}}},
        // A headline without any later "URL " keeps its title, gets no link, and ends the scan.
        ListCase{"NoUrlAfterHeadline",
                 "STORY \nHEADLINE a\nURL u\nHEADLINE b\nHEADLINE c\n",
                 {{"a", "u", ""}, {"b", "", ""}}},
        ListCase{"Utf8Text",
                 "STORY \nHEADLINE Caf\xC3\xA9 \xE2\x82\xAC\nURL http://h/\xC3\xA9\n",
                 {{"Caf\xC3\xA9 \xE2\x82\xAC", "http://h/\xC3\xA9", ""}}},
        // Nothing is decoded or unwrapped in this format.
        ListCase{"NoDecoding",
                 "STORY \nHEADLINE <![CDATA[a &amp; b]]>\nURL ?x&amp;y\n",
                 {{"<![CDATA[a &amp; b]]>", "?x&amp;y", ""}}}),
    CaseName);

// Reference comparison on documents made of marker and line fragments in random order.
TEST(StoryListReference, RandomFragmentDocumentsMatch) {
  static const char* const kPieces[] = {"STORY ", "HEADLINE ", "URL ", "\n", "\r\n", "\r",
                                        "text",   "story ",    "URL",  "H",  " ",    "\xC3\xA9"};
  std::mt19937 rng(19990501);
  ItemList reused;  // also checks that nothing of the previous document survives a refill
  for (int round = 0; round < 5000; ++round) {
    std::string document;
    const std::size_t length = rng() % 40;
    for (std::size_t i = 0; i < length; ++i) document += kPieces[rng() % std::size(kPieces)];
    const ItemList expected = naive::ParseStoryList(document);
    ASSERT_EQ(Parse(document), expected) << "document: " << document;
    ParseStoryList(document, reused);
    ASSERT_EQ(reused, expected) << "refilled list, document: " << document;
  }
}

TEST(ParseStoryList, ReplacesPreviousItemsAndLeavesToolTipsEmpty) {
  ItemList items(4, NewsItem{"old", "old", "old"});
  ParseStoryList("STORY \nHEADLINE a\nURL u\n", items);
  EXPECT_EQ(items, (ItemList{{"a", "u", ""}, {}}));
}

}  // namespace
