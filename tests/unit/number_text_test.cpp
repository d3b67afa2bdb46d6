// Numbers as the settings file holds them: the lenient reader and the seven-digit writer.
#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

namespace {

struct ReadCase {
  const char* text;
  double expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.text; }

class ReadNumberTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(ReadNumber(GetParam().text), GetParam().expected)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadNumberTest,
                         testing::Values(
                             // plain numbers, the point being the only decimal separator
                             ReadCase{"12.5", 12.5}, ReadCase{"0", 0}, ReadCase{"1500", 1500},
                             ReadCase{"-0.5", -0.5}, ReadCase{"12,5", 12}, ReadCase{".5", 0.5},
                             ReadCase{"5.", 5}, ReadCase{"1.2.3", 1.2},
                             // signs: one, and only in front
                             ReadCase{"+7", 7}, ReadCase{"-300", -300}, ReadCase{"+-5", 0},
                             ReadCase{"--5", 0}, ReadCase{"5-3", 5},
                             // blanks anywhere, tabs included
                             ReadCase{"  -300", -300}, ReadCase{"1 2.5", 12.5},
                             ReadCase{"- 4 5", -45}, ReadCase{"\t42\t", 42}, ReadCase{"1 . 5", 1.5},
                             // text that does not begin with a number
                             ReadCase{"abc", 0}, ReadCase{"", 0}, ReadCase{"   ", 0},
                             ReadCase{".", 0}, ReadCase{"-", 0}, ReadCase{"-.", 0},
                             ReadCase{"x12", 0},
                             // reading stops at the first character that cannot continue the number
                             ReadCase{"12px", 12}, ReadCase{"1e5", 1}, ReadCase{"0x1A", 0},
                             ReadCase{"7\n8", 7}, ReadCase{"-0", 0}));

// The result is never a negative zero, which the writer would otherwise have to hide.
TEST(ReadNumber, NegativeZeroIsPlainZero) {
  EXPECT_FALSE(std::signbit(ReadNumber("-0.000")));
  EXPECT_FALSE(std::signbit(ReadNumber("-")));
}

// Absurdly long digit strings: overflow gives infinity, underflow gives 0, exact digits
// beyond double precision are still rounded correctly.
TEST(ReadNumber, SurvivesAbsurdlyLongDigitStrings) {
  const std::string huge(100000, '9');
  EXPECT_EQ(ReadNumber(huge), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadNumber("-" + huge), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadNumber("0." + std::string(100000, '0') + "1"), 0.0);
  EXPECT_DOUBLE_EQ(ReadNumber(std::string(5000, '0') + "12.5" + std::string(5000, '0')), 12.5);
  EXPECT_DOUBLE_EQ(ReadNumber("1" + std::string(300, '0')), 1e300);
}

struct FormatCase {
  float value;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.expected; }

class FormatNumberTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, WritesAtMostSevenDigitsWithoutExponent) {
  EXPECT_EQ(FormatNumber(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatNumberTest,
    testing::Values(
        // integers: no point, no trailing zeros cut from the integer part
        FormatCase{0.0f, "0"}, FormatCase{-0.0f, "0"}, FormatCase{-1500.0f, "-1500"},
        FormatCase{15.0f, "15"}, FormatCase{1e10f, "10000000000"},
        // eighth digit and beyond rounded away (123456789 is 123456792 as a float)
        FormatCase{123456789.0f, "123456800"}, FormatCase{9999999.5f, "10000000"},
        FormatCase{1234567.0f, "1234567"}, FormatCase{12345.678f, "12345.68"},
        // fractions: "." always, no trailing zeros, a leading "0."
        FormatCase{12.5f, "12.5"}, FormatCase{-0.5f, "-0.5"}, FormatCase{0.1f, "0.1"},
        FormatCase{0.000123456789f, "0.0001234568"}, FormatCase{-2.25f, "-2.25"},
        // values that are not numbers read back as 0, so they are written as 0
        FormatCase{std::numeric_limits<float>::infinity(), "0"},
        FormatCase{std::numeric_limits<float>::quiet_NaN(), "0"}));

// The extremes of float still come out as plain digits.
TEST(FormatNumber, ExtremesHaveNoExponent) {
  const std::string big = FormatNumber(std::numeric_limits<float>::max());
  EXPECT_EQ(big, "340282300000000000000000000000000000000");
  EXPECT_EQ(FormatNumber(std::numeric_limits<float>::denorm_min()),
            "0." + std::string(44, '0') + "1401298");
}

// A decimal comma in the program's locale must not change the text written or read. The
// C++ global locale (what streams use) is always replaceable; a C locale with a comma (what
// printf and strtod use) is tried too when one is installed.
struct CommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  std::string do_grouping() const override { return "\3"; }
  char do_thousands_sep() const override { return '.'; }
};

TEST(NumberText, IgnoresTheLocale) {
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) break;
  }
  const std::string written = FormatNumber(-12345.5f);
  const double read = ReadNumber("1234.5");
  std::setlocale(LC_NUMERIC, "C");
  std::locale::global(previous);
  EXPECT_EQ(written, "-12345.5");
  EXPECT_DOUBLE_EQ(read, 1234.5);
}

}  // namespace
