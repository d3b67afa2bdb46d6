// The Windows services that can be checked without a person: which links the opener hands
// on, the other names of encodings, the GB18030 decoder, twips from a monitor's DPI, and the
// program's and user's folders.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/program/Application.h"
#include "platform/services/Inet.h"
#include "platform/services/UserFolders.h"
#include "platform/win32/Gb18030.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32Screens.h"

// After the platform's headers: it defines RGB as a macro.
#include <windows.h>

using platform::DecodeDocument;
using platform::win32::Narrow;
using platform::win32::Widen;
using platform::win32::Win32LinkOpener;

namespace {

template <typename Case>
std::string LabelOf(const testing::TestParamInfo<Case>& info) {
  std::string name = info.param.label;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

struct LinkCase {
  const char* label;
  std::string link;
  bool opened;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.label; }

class LinkOpenerTest : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkOpenerTest, HandsOnOnlyWebLinks) {
  EXPECT_EQ(Win32LinkOpener::Acceptable(GetParam().link), GetParam().opened);
}

// Links that are refused are never started: Open says no without asking the system.
TEST_P(LinkOpenerTest, RefusedLinksStartNothing) {
  if (GetParam().opened) GTEST_SKIP() << "a web link would start the browser";
  Win32LinkOpener opener;
  EXPECT_FALSE(opener.Open(GetParam().link));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkOpenerTest,
    testing::Values(LinkCase{"http", "http://www.tallowmere.example/a?b=1&c=2", true},
                    LinkCase{"https upper case", "HTTPS://www.tallowmere.example/", true},
                    LinkCase{"with a blank", "http://x.example/a b", true},
                    // programs and files the shell would start
                    LinkCase{"program", "calc.exe", false},
                    LinkCase{"file", "file:///C:/Windows/system32/calc.exe", false},
                    LinkCase{"UNC path", "\\\\server\\share\\x.exe", false},
                    LinkCase{"other scheme", "javascript:alert(1)", false},
                    LinkCase{"scheme only as a prefix", "httpx://x.example/", false},
                    LinkCase{"empty", "", false},
                    // text that could end the argument in the handler's command line
                    LinkCase{"quote", "http://x.example/\" --new-window \"calc", false},
                    LinkCase{"line break", "http://x.example/\r\ncalc", false},
                    LinkCase{"tab", "http://x.example/\tcalc", false}),
    LabelOf<LinkCase>);

struct LabelCase {
  const char* label;
  const char* sameAs;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.label; }

class EncodingLabelTest : public testing::TestWithParam<LabelCase> {};

// The bytes are letters in each of these encodings, whose own labels the cases of
// decode_document_test.cpp check.
TEST_P(EncodingLabelTest, DecodesAsTheEncodingItNames) {
  const std::string bytes = "\xE4\xE5";
  EXPECT_EQ(DecodeDocument(bytes, std::string("text/xml; charset=") + GetParam().label),
            DecodeDocument(bytes, std::string("text/xml; charset=") + GetParam().sameAs));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodingLabelTest,
    testing::Values(LabelCase{"x-cp1256", "windows-1256"}, LabelCase{"csiso88598i", "iso-8859-8"},
                    LabelCase{"logical", "iso-8859-8"}, LabelCase{"iso-8859-11", "windows-874"},
                    LabelCase{"x-sjis", "shift_jis"}, LabelCase{"x-euc-jp", "euc-jp"},
                    LabelCase{"chinese", "gbk"}, LabelCase{"cn-big5", "big5"},
                    LabelCase{"cseuckr", "euc-kr"}),
    LabelOf<LabelCase>);

struct Gb18030Case {
  const char* label;
  std::string bytes;
  std::wstring text;
};

void PrintTo(const Gb18030Case& c, std::ostream* os) { *os << c.label; }

class Gb18030Test : public testing::TestWithParam<Gb18030Case> {};

TEST_P(Gb18030Test, DecodesEveryByte) {
  EXPECT_EQ(platform::win32::Gb18030ToWide(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Gb18030Test,
    testing::Values(
        // the first pointer past the basic plane's codes; Unicode's last code point and the next
        Gb18030Case{"past the basic plane", "\x84\x31\xA5\x30", L"\xFFFD"},
        Gb18030Case{"last supplementary", "\xE3\x32\x9A\x35", L"\xDBFF\xDFFF"},
        Gb18030Case{"past Unicode", "\xE3\x32\x9A\x36", L"\xFFFD"},
        // 0x80 alone is the euro sign; 0xFF starts nothing
        Gb18030Case{"single bytes", "\x80\xFF", L"\x20AC\xFFFD"},
        // after a lead, an ASCII byte is read again and any other is taken with it
        Gb18030Case{"lead then ASCII", "\x81 A", L"\xFFFD A"},
        Gb18030Case{"lead then 0xFF", "\x81\xFF!", L"\uFFFD!"},
        // a four-byte code broken inside: one error for its lead, the rest read again
        Gb18030Case{"third not a lead", "\x81\x30 ", L"\uFFFD0 "},
        Gb18030Case{"fourth not a digit", "\x81\x30\x81 ", L"\uFFFD0\uFFFD "},
        // cut off by the end: one error
        Gb18030Case{"cut after a lead", "a\x81", L"a\xFFFD"},
        Gb18030Case{"cut after three bytes", "\x81\x30\x81", L"\xFFFD"}),
    LabelOf<Gb18030Case>);

struct TwipsCase {
  const char* label;
  long left, top, right, bottom;
  unsigned dpi;
  float twipsLeft, twipsTop, twipsWidth, twipsHeight;
};

void PrintTo(const TwipsCase& c, std::ostream* os) { *os << c.label; }

class TwipsTest : public testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsTest, ConvertsAtTheMonitorsDpi) {
  const TwipsCase& c = GetParam();
  const auto area = platform::win32::PixelsToTwips(c.left, c.top, c.right, c.bottom, c.dpi);
  EXPECT_FLOAT_EQ(area.left, c.twipsLeft);
  EXPECT_FLOAT_EQ(area.top, c.twipsTop);
  EXPECT_FLOAT_EQ(area.width, c.twipsWidth);
  EXPECT_FLOAT_EQ(area.height, c.twipsHeight);
}

INSTANTIATE_TEST_SUITE_P(Cases, TwipsTest,
                         testing::Values(
                             // 96 DPI: 15 twips to the pixel
                             TwipsCase{"96", 0, 0, 1920, 1080, 96, 0, 0, 28800, 16200},
                             // 144 DPI (150 %): 10 twips to the pixel
                             TwipsCase{"144", 1920, 0, 3840, 1080, 144, 19200, 0, 19200, 10800},
                             // a monitor left of and above the primary one
                             TwipsCase{"negative origin", -1280, -1024, 0, 0, 96, -19200, -15360,
                                       19200, 15360},
                             // no DPI known: 96
                             TwipsCase{"unknown", 0, 0, 100, 100, 0, 0, 0, 1500, 1500}),
                         LabelOf<TwipsCase>);

TEST(Win32Folders, AppPathIsTheExecutablesFolder) {
  wchar_t module[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  const std::string path = Narrow(module);
  EXPECT_EQ(platform::AppPath(), path.substr(0, path.find_last_of('\\')));
  EXPECT_EQ(platform::PathSeparator(), '\\');
  // A folder set by a test is given back without its trailing separators, a root with its own.
  platform::SetAppPath("C:\\Ticker\\\\");
  EXPECT_EQ(platform::AppPath(), "C:\\Ticker");
  platform::SetAppPath("C:\\");
  EXPECT_EQ(platform::AppPath(), "C:\\");
}

TEST(Win32Folders, UserSettingsGoUnderTheRoamingApplicationData) {
  const std::string folder = platform::UserConfigFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(::GetFileAttributesW(Widen(folder).c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  wchar_t appData[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    EXPECT_EQ(folder, Narrow(appData));
  }
}

struct TextCase {
  const char* label;
  std::string utf8;
  std::wstring utf16;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.label; }

class WideTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(WideTextTest, RoundTrips) {
  EXPECT_EQ(Widen(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(Narrow(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideTextTest,
    testing::Values(TextCase{"empty", "", L""}, TextCase{"ASCII", "abc", L"abc"},
                    TextCase{"accents", "caf\xC3\xA9", L"caf\x00E9"},
                    // outside the basic plane: a surrogate pair in UTF-16
                    TextCase{"emoji", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
                    // NUL inside is kept, not an end
                    TextCase{"NUL inside", std::string("a\0b", 3), std::wstring(L"a\0b", 3)}),
    LabelOf<TextCase>);

TEST(WideText, BrokenInputBecomesReplacementCharacters) {
  EXPECT_EQ(Widen("a\xFF"
                  "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(Narrow(std::wstring(L"a\xD800"
                                L"b")),
            "a\xEF\xBF\xBD"
            "b");
}

}  // namespace
