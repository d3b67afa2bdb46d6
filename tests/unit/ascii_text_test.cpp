// ASCII letter case and blanks: only A-Z fold, whatever the locale; bytes outside ASCII and
// the punctuation one bit away from a letter never compare equal to it.
#include <gtest/gtest.h>

#include <string_view>

#include "text/Ascii.h"

namespace {

struct CaseCase {
  const char* name;
  std::string_view a;
  std::string_view b;
  bool equal;
};

void PrintTo(const CaseCase& c, std::ostream* os) { *os << c.name; }

class EqualsNoCaseTable : public testing::TestWithParam<CaseCase> {};

TEST_P(EqualsNoCaseTable, FoldsAsciiLettersOnly) {
  const CaseCase& c = GetParam();
  EXPECT_EQ(text::EqualsNoCase(c.a, c.b), c.equal);
  EXPECT_EQ(text::EqualsNoCase(c.b, c.a), c.equal);
  EXPECT_EQ(text::AsciiLowered(c.a) == text::AsciiLowered(c.b), c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EqualsNoCaseTable,
    testing::Values(CaseCase{"SameLetters", "Default URL", "default url", true},
                    CaseCase{"BothEmpty", "", "", true},
                    CaseCase{"LongerOther", "abc", "abcd", false},
                    // '@' and '`', '[' and '{' differ only in the bit that folds letters.
                    CaseCase{"AtAndBacktick", "@", "`", false},
                    CaseCase{"BracketAndBrace", "[x]", "{x}", false},
                    // Latin-1 'Ä' and 'ä' and the UTF-8 bytes of "Ä" and "ä" stay apart.
                    CaseCase{"Latin1Letters", "\xC4", "\xE4", false},
                    CaseCase{"Utf8Letters", "\xC3\x84", "\xC3\xA4", false},
                    CaseCase{"EdgeLetters", "AZaz", "azAZ", true}),
    [](const testing::TestParamInfo<CaseCase>& info) { return info.param.name; });

TEST(AsciiLowered, LeavesEveryOtherByteAlone) {
  // A Latin-1 'Ä' (0xC4), which the C library folds under a Latin-1 locale, stays as it is.
  EXPECT_EQ(text::AsciiLowered("HTTP://Ex\xC4mple.ORG/@[Z]"), "http://ex\xC4mple.org/@[z]");
  EXPECT_TRUE(text::StartsWithNoCase("HTTPS://x", "https://"));
  EXPECT_FALSE(text::StartsWithNoCase("http", "https://"));
  EXPECT_FALSE(text::StartsWithNoCase("\xC3\x84x", "\xC3\xA4"));
}

struct TrimCase {
  const char* name;
  std::string_view text;
  std::string_view blanks;
  std::string_view trimmed;
};

void PrintTo(const TrimCase& c, std::ostream* os) { *os << c.name; }

class TrimTable : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimTable, DropsOnlyTheGivenBlanksAtEitherEnd) {
  const TrimCase& c = GetParam();
  EXPECT_EQ(text::Trim(c.text, c.blanks), c.trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTable,
    testing::Values(TrimCase{"Empty", "", text::kBlanks, ""},
                    TrimCase{"OnlyBlanks", " \t \t", text::kBlanks, ""},
                    TrimCase{"InnerBlanksKept", " \ta b\t ", text::kBlanks, "a b"},
                    // Settings lines keep a line break that is not theirs to drop.
                    TrimCase{"LineBreakNotABlank", "\r value \n", text::kBlanks, "\r value \n"},
                    TrimCase{"OtherSet", "\r\n value\t\n", " \t\r\n", "value"},
                    TrimCase{"OneByteLeft", "  x  ", text::kBlanks, "x"},
                    // A NO-BREAK SPACE is text, not a blank.
                    TrimCase{"NonAsciiKept", "\xC2\xA0x\xC2\xA0", text::kBlanks,
                             "\xC2\xA0x\xC2\xA0"}),
    [](const testing::TestParamInfo<TrimCase>& info) { return info.param.name; });

TEST(IsBlank, SpaceAndTabOnly) {
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(text::IsBlank(static_cast<char>(c)), c == ' ' || c == '\t') << c;
    EXPECT_EQ(text::IsBlank(static_cast<char>(c)),
              text::kBlanks.find(static_cast<char>(c)) != std::string_view::npos)
        << c;
  }
}

}  // namespace
