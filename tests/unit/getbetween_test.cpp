// GetBetween and InStr: 1-based positions, the start written back only when it held 0, the
// end tag searched only after the whole start tag, and ASCII-only case folding.
#include "feed/GetBetween.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct BetweenCase {
  const char* name;
  const char* startTag;
  const char* endTag;
  const char* text;
  std::int32_t start;
  bool matchCase;
  const char* expected;
  std::int32_t startAfter;
};

void PrintTo(const BetweenCase& c, std::ostream* os) { *os << c.name; }

class GetBetweenTable : public testing::TestWithParam<BetweenCase> {};

TEST_P(GetBetweenTable, ReturnsTextBetweenTagsAndWritesBackOnlyZero) {
  const BetweenCase& c = GetParam();
  std::int32_t start = c.start;
  EXPECT_EQ(GetBetween(c.startTag, c.endTag, c.text, start, c.matchCase), c.expected);
  EXPECT_EQ(start, c.startAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetBetweenTable,
    testing::Values(
        BetweenCase{"Plain", "<a>", "</a>", "x<a>text</a>y", 1, true, "text", 1},
        // Start 0 is taken as 1 and written back to the caller's variable.
        BetweenCase{"ZeroStartWrittenBack", "<a>", "</a>", "<a>v</a>", 0, false, "v", 1},
        // Any other start is left as it was.
        BetweenCase{"StartNotAdvanced", "<a>", "</a>", "<a>1</a><a>2</a>", 2, false, "2", 2},
        // Boundary: a start exactly on the tag's first character still finds it.
        BetweenCase{"StartOnTag", "<a>", "</a>", "zz<a>v</a>", 3, true, "v", 3},
        BetweenCase{"StartOnePastTag", "<a>", "</a>", "zz<a>v</a>", 4, true, "", 4},
        BetweenCase{"EndDirectlyAfterStart", "<a>", "</a>", "<a></a>", 1, true, "", 1},
        BetweenCase{"MissingStartTag", "<b>", "</b>", "<a>v</a>", 1, true, "", 1},
        BetweenCase{"MissingEndTag", "<a>", "</a>", "<a>v", 1, true, "", 1},
        // An end tag before the start tag does not count.
        BetweenCase{"EndTagOnlyBeforeStart", "<a>", "</a>", "</a><a>v", 1, true, "", 1},
        // Same text as both tags: the text between its first two occurrences.
        BetweenCase{"SameTagTwice", "|", "|", "a|b|c|d", 1, true, "b", 1},
        BetweenCase{"SameTagFromSecond", "|", "|", "a|b|c|d", 3, true, "c", 3},
        // The end tag is searched only after the whole start tag: no overlap.
        BetweenCase{"NoOverlap", "<aa", "aa", "<aab", 1, true, "", 1},
        BetweenCase{"CaseIgnored", "<title>", "</title>", "<TiTlE>X</TITLE>", 1, false, "X", 1},
        BetweenCase{"CaseKept", "<title>", "</title>", "<TITLE>X</TITLE>", 1, true, "", 1},
        BetweenCase{"CaseKeptEndOnly", "<t>", "</t>", "<t>X</T></t>", 1, true, "X</T>", 1},
        // Folding is ASCII only: É (C3 89) and é (C3 A9) stay different.
        BetweenCase{"NonAsciiNotFolded", "\xC3\xA9", "!", "\xC3\x89x!\xC3\xA9y!", 1, false, "y", 1},
        BetweenCase{"StartPastEnd", "<a>", "</a>", "<a>v</a>", 100, true, "", 100},
        BetweenCase{"EmptyText", "<a>", "</a>", "", 0, false, "", 1}),
    [](const testing::TestParamInfo<BetweenCase>& info) { return info.param.name; });

TEST(GetBetween, NegativeStartIsAnInvalidArgumentAndLeavesTheVariable) {
  std::int32_t start = -1;
  EXPECT_THROW(GetBetween("<a>", "</a>", "<a>v</a>", start, true), std::invalid_argument);
  EXPECT_EQ(start, -1);
}

struct InStrCase {
  const char* name;
  std::size_t start;
  const char* haystack;
  const char* needle;
  bool matchCase;
  std::size_t expected;
};

void PrintTo(const InStrCase& c, std::ostream* os) { *os << c.name; }

class InStrTable : public testing::TestWithParam<InStrCase> {};

TEST_P(InStrTable, FindsFirstOccurrenceAtOrAfterStart) {
  const InStrCase& c = GetParam();
  EXPECT_EQ(InStr(c.start, c.haystack, c.needle, c.matchCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InStrTable,
    testing::Values(InStrCase{"First", 1, "abcabc", "bc", true, 2},
                    InStrCase{"FromStart", 3, "abcabc", "bc", true, 5},
                    InStrCase{"NotFound", 1, "abc", "x", true, 0},
                    InStrCase{"CaseIgnored", 1, "xxTICKERxx", "ticker", false, 3},
                    InStrCase{"CaseKept", 1, "xxTICKERxx", "ticker", true, 0},
                    // A needle that begins with a letter: both cases of it are candidates.
                    InStrCase{"LetterFirstUpper", 1, "aB", "b", false, 2},
                    InStrCase{"NeedleAtVeryEnd", 1, "abc", "c", false, 3},
                    InStrCase{"NeedleLongerThanRest", 3, "abc", "cd", false, 0},
                    // Empty needle: found at start within the text or just after it.
                    InStrCase{"EmptyNeedleInside", 2, "abc", "", true, 2},
                    InStrCase{"EmptyNeedleJustAfter", 4, "abc", "", true, 4},
                    InStrCase{"EmptyNeedleBeyond", 5, "abc", "", true, 0},
                    InStrCase{"StartBeyondText", 9, "abc", "a", false, 0}),
    [](const testing::TestParamInfo<InStrCase>& info) { return info.param.name; });

}  // namespace
