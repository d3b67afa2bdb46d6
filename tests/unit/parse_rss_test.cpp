// ParseRss: sample feeds, each extraction rule that can go wrong, the mended cases (XML escapes,
// an item left open), and the linear parser against the step-by-step reference.
#include "feed/ParseRss.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "support/NaiveFeedParsers.h"

namespace {

std::string ReadFeed(const std::string& name) {
  std::ifstream in(std::string(TEST_FIXTURES) + "/feeds/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ItemList Parse(std::string_view document) {
  ItemList items{{"stale", "stale", "stale"}, {"stale", "", ""}};
  ParseRss(document, items);
  return items;
}

// Element 0 is always the empty one; `items` lists elements 1 … N.
ItemList WithEmptyFirst(ItemList items) {
  items.insert(items.begin(), NewsItem{});
  return items;
}

struct FeedCase {
  const char* name;
  std::string document;
  ItemList items;
};

void PrintTo(const FeedCase& c, std::ostream* os) { *os << c.name; }

std::string CaseName(const testing::TestParamInfo<FeedCase>& info) { return info.param.name; }

class RssSampleFiles : public testing::TestWithParam<FeedCase> {};

TEST_P(RssSampleFiles, GivesItems) {
  EXPECT_EQ(Parse(ReadFeed(GetParam().document)), WithEmptyFirst(GetParam().items));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RssSampleFiles,
    testing::Values(
        FeedCase{"Basic",
                 "rss-basic.xml",
                 {{"Harbour bridge reopens", "http://www.tallowmere.example/story.php?id=1",
                   "Post by Ann Lee on Mon, 06 Sep 2004 10:00:00 GMT"},
                  {"Fish & chips & more", "http://www.tallowmere.example/story.php?id=2&page=3",
                   "Post by Bo Str\xC3\xB6m on Tue, 07 Sep 2004 11:30:00 GMT"},
                  {"Caf\xC3\xA9 <b>opens</b> \xE2\x80\x94 \xF0\x9F\x98\x80 \"soon\"",
                   "http://www.tallowmere.example/story.php?id=3&amp;x=1",
                   "Post by Cy on Wed, 08 Sep 2004 09:15:00 GMT"}}},
        // Upper and mixed case tags are items; an item tag with attributes is not.
        FeedCase{"CaseAndAttributes",
                 "rss-case-and-attributes.xml",
                 {{"Upper case tags", "http://a.example/1", "Post by Dee on Thu"},
                  {"Mixed & case", "http://a.example/3", "Post by Eve on Fri"}}},
        // Missing fields come from later items; the channel's own fields are never read.
        FeedCase{"BorrowedFields",
                 "rss-borrowed-fields.xml",
                 {{"Second", "http://a.example/1", "Post by Fay on Sat"},
                  {"Second", "http://a.example/2", "Post by Fay on Sat"},
                  {"Third", "", "Post by  on "}}},
        // The second item is never closed: it is kept and the scan ends with it.
        FeedCase{"UnclosedItem",
                 "rss-unclosed-item.xml",
                 {{"First", "http://a.example/1", "Post by  on "},
                  {"Cut off", "http://a.example/2", "Post by  on "}}},
        FeedCase{"NoItems", "rss-no-items.xml", {}}),
    CaseName);

class RssRules : public testing::TestWithParam<FeedCase> {};

TEST_P(RssRules, GivesItems) {
  const ItemList expected = WithEmptyFirst(GetParam().items);
  EXPECT_EQ(Parse(GetParam().document), expected);
  EXPECT_EQ(naive::ParseRss(GetParam().document), expected) << "reference disagrees";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RssRules,
    testing::Values(
        FeedCase{"EmptyDocument", "", {}},
        FeedCase{"TitleBeforeFirstItemIgnored",
                 "<title>Channel</title><item><link>l</link></item>",
                 {{"", "l", "Post by  on "}}},
        FeedCase{"ItemWithAttributeNotAnItem", "<item id=\"1\"><title>t</title></item>", {}},
        FeedCase{"ItemWithTrailingBlankNotAnItem", "<item ><title>t</title></item>", {}},
        // Values keep their blanks and line breaks.
        FeedCase{"NotTrimmed",
                 "<item><title>\n  Spaced  \n</title><link> l </link></item>",
                 {{"\n  Spaced  \n", " l ", "Post by  on "}}},
        // Unwrapped first, then decoded: "&amp;amp;" inside CDATA becomes "&".
        FeedCase{"CDataTitleThenAmpersands",
                 "<item><title><![CDATA[A &amp;amp; B]]></title></item>",
                 {{"A & B", "", "Post by  on "}}},
        FeedCase{"AmpersandCapitals",
                 "<item><title>A &AMP;AMP; B &Amp; C</title></item>",
                 {{"A & B & C", "", "Post by  on "}}},
        FeedCase{"TwoCDataSectionsKeepFirst",
                 "<item><title><![CDATA[one]]> <![CDATA[two]]></title></item>",
                 {{"one", "", "Post by  on "}}},
        FeedCase{"MalformedCDataGivesEmpty",
                 "<item><title>[CDATA broken</title><link><![CDATA[x</link>"
                 "<author>a[cdata]</author></item>",
                 {{"", "", "Post by  on "}}},
        FeedCase{"CDataInTooltipFields",
                 "<item><author><![CDATA[Ann & co]]></author>"
                 "<pubDate><![CDATA[Mon]]></pubDate></item>",
                 {{"", "", "Post by Ann & co on Mon"}}},
        // The tooltip is only unwrapped, never decoded.
        FeedCase{"TooltipNotDecoded",
                 "<item><author>A &amp; B &lt;x&gt;</author></item>",
                 {{"", "", "Post by A &amp; B &lt;x&gt; on "}}},
        FeedCase{"OtherMarkupStaysInTitle",
                 "<item><title>Big <b>news</b></title></item>",
                 {{"Big <b>news</b>", "", "Post by  on "}}},
        FeedCase{"TitleFromLaterItem",
                 "<item><link>1</link></item><item><title>T2</title><link>2</link></item>",
                 {{"T2", "1", "Post by  on "}, {"T2", "2", "Post by  on "}}},
        // A field is searched from the item's start, not limited by its "</item>", and the
        // next item is searched from that "</item>".
        FeedCase{"AuthorFromLaterItemDateOwn",
                 "<item><pubDate>D1</pubDate></item><item><author>A2</author></item>",
                 {{"", "", "Post by A2 on D1"}, {"", "", "Post by A2 on "}}},
        // The scan goes on from the first "</item>", so an item opened inside another is lost.
        FeedCase{"InnerItemSkipped",
                 "<item><title>a</title><item><title>b</title></item></item>",
                 {{"a", "", "Post by  on "}}},
        FeedCase{"ClosingItemBeforeOpeningIgnored",
                 "</item><item><title>t</title></item>",
                 {{"t", "", "Post by  on "}}},
        // A field is never taken from before its item's "<item>".
        FeedCase{
            "FieldBeforeItemNotRead", "<title>x</title><item></item>", {{"", "", "Post by  on "}}},
        FeedCase{"TitleEndInNextItem",
                 "<item><title>a</item><item>b</title></item>",
                 {{"a</item><item>b", "", "Post by  on "}, {"", "", "Post by  on "}}},
        FeedCase{"UnclosedLastItem",
                 "<item><title>a</title></item><item><title>b</title><item><title>c</title>",
                 {{"a", "", "Post by  on "}, {"b", "", "Post by  on "}}},
        // Link: escapes decoded unless it is a CDATA section, which is taken as written.
        FeedCase{"LinkEscapesDecoded",
                 "<item><link>http://h/?a=1&amp;b=2&#38;c=&lt;3&gt;</link></item>",
                 {{"", "http://h/?a=1&b=2&c=<3>", "Post by  on "}}},
        FeedCase{"LinkInCDataKeptAsWritten",
                 "<item><link><![CDATA[http://h/?a=1&amp;b=2]]></link></item>",
                 {{"", "http://h/?a=1&amp;b=2", "Post by  on "}}},
        FeedCase{"LinkDecodedOnce",
                 "<item><link>?q=&amp;amp;</link></item>",
                 {{"", "?q=&amp;", "Post by  on "}}},
        // Title: named and numeric references after the ampersand passes.
        FeedCase{"TitleEscapesDecoded",
                 "<item><title>&lt;3 &quot;A&apos;s&quot; &#233;t&#xE9;</title></item>",
                 {{"<3 \"A's\" \xC3\xA9t\xC3\xA9", "", "Post by  on "}}},
        FeedCase{"TitleInvalidReferenceKept",
                 "<item><title>&#xD800; &#0; &bogus;</title></item>",
                 {{"&#xD800; &#0; &bogus;", "", "Post by  on "}}},
        // Case folding touches letters only: 0x0F is not "/" and 0x1E is not ">", though they
        // differ from them in the case bit alone.
        FeedCase{"PunctuationNotFolded",
                 std::string("<item><title>a</title><link\x1Ex</link><\x0Fitem><item><title>b"
                             "</title></item>                "),
                 {{"a", "", "Post by  on "}}},
        // Non-ASCII text around tags: bytes never fold onto tag letters.
        FeedCase{"Utf8Content",
                 "<item><title>\xC3\x89t\xC3\xA9 \xE2\x82\xAC</title>"
                 "<link>http://h/\xC3\xA9</link></item>",
                 {{"\xC3\x89t\xC3\xA9 \xE2\x82\xAC", "http://h/\xC3\xA9", "Post by  on "}}}),
    CaseName);

// Titles escaped twice keep one level of escaping: each reference is decoded once.
class RssTitleReferences : public testing::TestWithParam<FeedCase> {};

TEST_P(RssTitleReferences, GivesItems) {
  EXPECT_EQ(Parse(GetParam().document), WithEmptyFirst(GetParam().items));
}

INSTANTIATE_TEST_SUITE_P(
    Titles, RssTitleReferences,
    testing::Values(FeedCase{"DoubleEscapedInCData",
                             "<item><title><![CDATA[&amp;lt;a href=&amp;quot;u&amp;quot;&amp;gt;"
                             "]]></title></item>",
                             {{"&lt;a href=&quot;u&quot;&gt;", "", "Post by  on "}}},
                    FeedCase{"ControlCharactersBlank",
                             "<item><title>a&#1;b&#xD;c</title><link>?&#xD;</link></item>",
                             {{"a b c", "?\r", "Post by  on "}}}),
    CaseName);

// Reference comparison: documents made of tag fragments in random order, so that items lack
// fields, tags come in other case, sections are broken and items overlap.
std::string RandomDocument(std::mt19937& rng) {
  static const char* const kPieces[] = {
      "<item>",    "</item>",   "<ITEM>",   "<item a>",     "<title>",   "</title>",  "<TiTle>",
      "</TITLE>",  "<link>",    "</link>",  "<author>",     "</author>", "<pubDate>", "</pubdate>",
      "<![CDATA[", "]]>",       "[CDATA",   "&amp;",        "&amp;amp;", "&AMP;",     "&lt;",
      "&#65;",     "&#x1F600;", "&#0;",     "&#xD800;",     "&",         "<",         "x",
      "word ",     "\n",        "\xC3\xA9", "http://h/?a=1"};
  constexpr std::size_t kCount = std::size(kPieces);
  std::string document;
  const std::size_t length = rng() % 80;
  for (std::size_t i = 0; i < length; ++i) document += kPieces[rng() % kCount];
  return document;
}

TEST(RssReference, RandomFragmentDocumentsMatch) {
  std::mt19937 rng(20040906);
  ItemList reused;  // also checks that nothing of the previous document survives a refill
  for (int round = 0; round < 5000; ++round) {
    const std::string document = RandomDocument(rng);
    const ItemList expected = naive::ParseRss(document);
    ASSERT_EQ(Parse(document), expected) << "document: " << document;
    ParseRss(document, reused);
    ASSERT_EQ(reused, expected) << "refilled list, document: " << document;
  }
}

// Well-formed feeds whose items each drop some fields: the borrowing case that would make the
// step-by-step search quadratic.
std::string FeedWithGaps(std::mt19937& rng, int items) {
  std::ostringstream out;
  out << "<rss><channel><title>c</title>\n";
  for (int i = 0; i < items; ++i) {
    const unsigned fields = rng() % 16;
    out << "<item>";
    if (fields & 1) out << "<title>T" << i << " &amp; x</title>";
    if (fields & 2) out << "<link>http://h/" << i << "?a&amp;b</link>";
    if (fields & 4) out << "<author>A" << i << "</author>";
    if (fields & 8) out << "<pubDate>D" << i << "</pubDate>";
    out << "</item>\n";
  }
  out << "</channel></rss>\n";
  return out.str();
}

TEST(RssReference, FeedsWithMissingFieldsMatch) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const std::string document = FeedWithGaps(rng, int(rng() % 40));
    ASSERT_EQ(Parse(document), naive::ParseRss(document)) << "document: " << document;
  }
}

TEST(ParseRss, ReplacesPreviousItems) {
  ItemList items(5, NewsItem{"old", "old", "old"});
  ParseRss("<item><title>new</title></item>", items);
  EXPECT_EQ(items, (ItemList{{}, {"new", "", "Post by  on "}}));
  ParseRss("", items);
  EXPECT_EQ(items, ItemList(1));
}

}  // namespace
