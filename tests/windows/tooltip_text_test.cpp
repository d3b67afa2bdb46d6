// The text the tooltip control is handed: plain, cut and broken into lines as on every system.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/ToolTipText.h"

using platform::win32::kToolTipLine;
using platform::win32::kToolTipMax;
using platform::win32::ToolTipText;

namespace {

struct Case {
  const char* name;
  std::wstring input;
  std::wstring expected;
};

class ToolTipTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(ToolTipTextTest, ShapesTheText) {
  EXPECT_EQ(ToolTipText(GetParam().input), GetParam().expected);
}

const std::wstring k99(99, L'a');
const std::wstring k100(100, L'a');

INSTANTIATE_TEST_SUITE_P(
    Win32Engine, ToolTipTextTest,
    ::testing::Values(Case{"empty", L"", L""},
                      // Markup and access-key markers are text like any other.
                      Case{"markupStays", L"<b>x</b> & <img src='y'>", L"<b>x</b> & <img src='y'>"},
                      Case{"crlfAndCr", L"a\r\nb\rc\nd", L"a\nb\nc\nd"},
                      // No cut at exactly the line length; one more character starts a line.
                      Case{"lineOf100", k100, k100},
                      Case{"lineOf101NoBlank", k100 + L"b", k100 + L"\nb"},
                      // A blank in the second half of a long line is where it breaks.
                      Case{"breaksAfterBlank",
                           std::wstring(70, L'a') + L" " + std::wstring(60, L'b'),
                           std::wstring(70, L'a') + L" \n" + std::wstring(60, L'b')},
                      // A blank in the first half is too early: the line is cut at the limit.
                      Case{"blankTooEarly", std::wstring(10, L'a') + L" " + std::wstring(120, L'b'),
                           std::wstring(10, L'a') + L" " + std::wstring(89, L'b') + L"\n" +
                               std::wstring(31, L'b')},
                      // A surrogate pair across the line limit moves to the next line whole.
                      Case{"pairAtLineLimit", k99 + L"\U0001F600" + L"z", k99 + L"\n\U0001F600z"}),
    [](const auto& info) { return std::string(info.param.name); });

std::wstring Unwrapped(std::wstring text) {
  std::erase(text, L'\n');
  return text;
}

// Exactly the limit stays whole; one more is cut to the limit with "…" last.
TEST(Win32Engine, ToolTipTextIsCutAtItsLimit) {
  const std::wstring limit(kToolTipMax, L'x');
  EXPECT_EQ(Unwrapped(ToolTipText(limit)), limit);
  const std::wstring over = Unwrapped(ToolTipText(limit + L"y"));
  EXPECT_EQ(over.size(), kToolTipMax);
  EXPECT_EQ(over.back(), L'\u2026');
  // The cut never leaves half a surrogate pair before the "…".
  const std::wstring pair = std::wstring(kToolTipMax - 2, L'x') + L"\U0001F600" + L"yy";
  const std::wstring cut = Unwrapped(ToolTipText(pair));
  EXPECT_EQ(cut, std::wstring(kToolTipMax - 2, L'x') + L"\u2026");
  EXPECT_LE(kToolTipLine, kToolTipMax);
}

}  // namespace
