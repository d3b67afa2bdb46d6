// The two-byte codes come from the system's GBK table, which GB18030 extends; the four-byte
// codes of the basic plane are runs of consecutive code points, those above it one linear run.
#include "platform/win32/Gb18030.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace platform::win32 {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Lead bytes 0x81-0xFE, second bytes 0x40-0x7E and 0x80-0xFE.
constexpr int kSecondBytes = 190;
constexpr int kTwoByteCodes = 126 * kSecondBytes;

struct Correction {
  unsigned short code;
  wchar_t character;
};

// Where GB18030 gives a character that GBK left to the private use area (and the euro sign,
// which GBK has at 0x80 only).
constexpr Correction kNotAsInGbk[] = {
    {0xA2E3, 0x20AC}, {0xA8BC, 0x1E3F}, {0xA8BF, 0x01F9}, {0xA989, 0x303E}, {0xA98A, 0x2FF0},
    {0xA98B, 0x2FF1}, {0xA98C, 0x2FF2}, {0xA98D, 0x2FF3}, {0xA98E, 0x2FF4}, {0xA98F, 0x2FF5},
    {0xA990, 0x2FF6}, {0xA991, 0x2FF7}, {0xA992, 0x2FF8}, {0xA993, 0x2FF9}, {0xA994, 0x2FFA},
    {0xA995, 0x2FFB}, {0xFE50, 0x2E81}, {0xFE54, 0x2E84}, {0xFE55, 0x3473}, {0xFE56, 0x3447},
    {0xFE57, 0x2E88}, {0xFE58, 0x2E8B}, {0xFE5A, 0x359E}, {0xFE5B, 0x361A}, {0xFE5C, 0x360E},
    {0xFE5D, 0x2E8C}, {0xFE5E, 0x2E97}, {0xFE5F, 0x396E}, {0xFE60, 0x3918}, {0xFE62, 0x39CF},
    {0xFE63, 0x39DF}, {0xFE64, 0x3A73}, {0xFE65, 0x39D0}, {0xFE68, 0x3B4E}, {0xFE69, 0x3C6E},
    {0xFE6A, 0x3CE0}, {0xFE6B, 0x2EA7}, {0xFE6E, 0x2EAA}, {0xFE6F, 0x4056}, {0xFE70, 0x415F},
    {0xFE71, 0x2EAE}, {0xFE72, 0x4337}, {0xFE73, 0x2EB3}, {0xFE74, 0x2EB6}, {0xFE75, 0x2EB7},
    {0xFE77, 0x43B1}, {0xFE78, 0x43AC}, {0xFE79, 0x2EBB}, {0xFE7A, 0x43DD}, {0xFE7B, 0x44D6},
    {0xFE7C, 0x4661}, {0xFE7D, 0x464C}, {0xFE80, 0x4723}, {0xFE81, 0x4729}, {0xFE82, 0x477C},
    {0xFE83, 0x478D}, {0xFE84, 0x2ECA}, {0xFE85, 0x4947}, {0xFE86, 0x497A}, {0xFE87, 0x497D},
    {0xFE88, 0x4982}, {0xFE89, 0x4983}, {0xFE8A, 0x4985}, {0xFE8B, 0x4986}, {0xFE8C, 0x499F},
    {0xFE8D, 0x499B}, {0xFE8E, 0x49B7}, {0xFE8F, 0x49B6}, {0xFE92, 0x4CA3}, {0xFE93, 0x4C9F},
    {0xFE94, 0x4CA0}, {0xFE95, 0x4CA1}, {0xFE96, 0x4C77}, {0xFE97, 0x4CA2}, {0xFE98, 0x4D13},
    {0xFE99, 0x4D14}, {0xFE9A, 0x4D15}, {0xFE9B, 0x4D16}, {0xFE9C, 0x4D17}, {0xFE9D, 0x4D18},
    {0xFE9E, 0x4D19}, {0xFE9F, 0x4DAE}};

struct Run {
  int pointer;
  char32_t first;
};

// The four-byte codes of the basic plane, by pointer (their index among all four-byte codes):
// where each run of consecutive code points starts.
constexpr Run kRuns[] = {
    {0, 0x0080},     {36, 0x00A5},    {38, 0x00A9},    {45, 0x00B2},    {50, 0x00B8},
    {81, 0x00D8},    {89, 0x00E2},    {95, 0x00EB},    {96, 0x00EE},    {100, 0x00F4},
    {103, 0x00F8},   {104, 0x00FB},   {105, 0x00FD},   {109, 0x0102},   {126, 0x0114},
    {133, 0x011C},   {148, 0x012C},   {172, 0x0145},   {175, 0x0149},   {179, 0x014E},
    {208, 0x016C},   {306, 0x01CF},   {307, 0x01D1},   {308, 0x01D3},   {309, 0x01D5},
    {310, 0x01D7},   {311, 0x01D9},   {312, 0x01DB},   {313, 0x01DD},   {341, 0x01FA},
    {428, 0x0252},   {443, 0x0262},   {544, 0x02C8},   {545, 0x02CC},   {558, 0x02DA},
    {741, 0x03A2},   {742, 0x03AA},   {749, 0x03C2},   {750, 0x03CA},   {805, 0x0402},
    {819, 0x0450},   {820, 0x0452},   {7457, 0xE7C7},  {7458, 0x1E40},  {7922, 0x2011},
    {7924, 0x2017},  {7925, 0x201A},  {7927, 0x201E},  {7934, 0x2027},  {7943, 0x2031},
    {7944, 0x2034},  {7945, 0x2036},  {7950, 0x203C},  {8062, 0x20AD},  {8148, 0x2104},
    {8149, 0x2106},  {8152, 0x210A},  {8164, 0x2117},  {8174, 0x2122},  {8236, 0x216C},
    {8240, 0x217A},  {8262, 0x2194},  {8264, 0x219A},  {8374, 0x2209},  {8380, 0x2210},
    {8381, 0x2212},  {8384, 0x2216},  {8388, 0x221B},  {8390, 0x2221},  {8392, 0x2224},
    {8393, 0x2226},  {8394, 0x222C},  {8396, 0x222F},  {8401, 0x2238},  {8406, 0x223E},
    {8416, 0x2249},  {8419, 0x224D},  {8424, 0x2253},  {8437, 0x2262},  {8439, 0x2268},
    {8445, 0x2270},  {8482, 0x2296},  {8485, 0x229A},  {8496, 0x22A6},  {8521, 0x22C0},
    {8603, 0x2313},  {8936, 0x246A},  {8946, 0x249C},  {9046, 0x254C},  {9050, 0x2574},
    {9063, 0x2590},  {9066, 0x2596},  {9076, 0x25A2},  {9092, 0x25B4},  {9100, 0x25BE},
    {9108, 0x25C8},  {9111, 0x25CC},  {9113, 0x25D0},  {9131, 0x25E6},  {9162, 0x2607},
    {9164, 0x260A},  {9218, 0x2641},  {9219, 0x2643},  {11329, 0x2E82}, {11331, 0x2E85},
    {11334, 0x2E89}, {11336, 0x2E8D}, {11346, 0x2E98}, {11361, 0x2EA8}, {11363, 0x2EAB},
    {11366, 0x2EAF}, {11370, 0x2EB4}, {11372, 0x2EB8}, {11375, 0x2EBC}, {11389, 0x2ECB},
    {11682, 0x2FFC}, {11686, 0x3004}, {11687, 0x3018}, {11692, 0x301F}, {11694, 0x302A},
    {11714, 0x303F}, {11716, 0x3094}, {11723, 0x309F}, {11725, 0x30F7}, {11730, 0x30FF},
    {11736, 0x312A}, {11982, 0x322A}, {11989, 0x3232}, {12102, 0x32A4}, {12336, 0x3390},
    {12348, 0x339F}, {12350, 0x33A2}, {12384, 0x33C5}, {12393, 0x33CF}, {12395, 0x33D3},
    {12397, 0x33D6}, {12510, 0x3448}, {12553, 0x3474}, {12851, 0x359F}, {12962, 0x360F},
    {12973, 0x361B}, {13738, 0x3919}, {13823, 0x396F}, {13919, 0x39D1}, {13933, 0x39E0},
    {14080, 0x3A74}, {14298, 0x3B4F}, {14585, 0x3C6F}, {14698, 0x3CE1}, {15583, 0x4057},
    {15847, 0x4160}, {16318, 0x4338}, {16434, 0x43AD}, {16438, 0x43B2}, {16481, 0x43DE},
    {16729, 0x44D7}, {17102, 0x464D}, {17122, 0x4662}, {17315, 0x4724}, {17320, 0x472A},
    {17402, 0x477D}, {17418, 0x478E}, {17859, 0x4948}, {17909, 0x497B}, {17911, 0x497E},
    {17915, 0x4984}, {17916, 0x4987}, {17936, 0x499C}, {17939, 0x49A0}, {17961, 0x49B8},
    {18664, 0x4C78}, {18703, 0x4CA4}, {18814, 0x4D1A}, {18962, 0x4DAF}, {19043, 0x9FA6},
    {33469, 0xE76C}, {33470, 0xE7C8}, {33471, 0xE7E7}, {33484, 0xE815}, {33485, 0xE819},
    {33490, 0xE81F}, {33497, 0xE827}, {33501, 0xE82D}, {33505, 0xE833}, {33513, 0xE83C},
    {33520, 0xE844}, {33536, 0xE856}, {33550, 0xE865}, {37845, 0xF92D}, {37921, 0xF97A},
    {37948, 0xF996}, {38029, 0xF9E8}, {38038, 0xF9F2}, {38064, 0xFA10}, {38065, 0xFA12},
    {38066, 0xFA15}, {38069, 0xFA19}, {38075, 0xFA22}, {38076, 0xFA25}, {38078, 0xFA2A},
    {39108, 0xFE32}, {39109, 0xFE45}, {39113, 0xFE53}, {39114, 0xFE58}, {39115, 0xFE67},
    {39116, 0xFE6C}, {39265, 0xFF5F}, {39394, 0xFFE6}};

// The last pointer of the basic plane's four-byte codes, and those of U+10000 and U+10FFFF.
constexpr int kLastBasicPointer = 39419;
constexpr int kFirstSupplementaryPointer = 189000;
constexpr int kLastSupplementaryPointer = 1237575;

int TwoBytePointer(int lead, int second) {
  return (lead - 0x81) * kSecondBytes + second - (second < 0x7F ? 0x40 : 0x41);
}

// The character of every two-byte code, by pointer; empty when the system lacks code page 936.
const std::vector<wchar_t>& TwoByteCharacters() {
  static const std::vector<wchar_t> table = [] {
    std::string codes;
    codes.reserve(2 * kTwoByteCodes);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int second = 0x40; second <= 0xFE; ++second) {
        if (second == 0x7F) continue;
        codes += static_cast<char>(lead);
        codes += static_cast<char>(second);
      }
    }
    std::vector<wchar_t> characters(kTwoByteCodes);
    // Every code is a whole character of GBK, so each gives exactly one unit.
    if (::MultiByteToWideChar(936, 0, codes.data(), static_cast<int>(codes.size()),
                              characters.data(), kTwoByteCodes) != kTwoByteCodes) {
      return std::vector<wchar_t>{};
    }
    for (const Correction& c : kNotAsInGbk) {
      characters[TwoBytePointer(c.code >> 8, c.code & 0xFF)] = c.character;
    }
    return characters;
  }();
  return table;
}

void Append(std::wstring& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<wchar_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (code >> 10));
    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
  }
}

// The code point of a four-byte code, or U+FFFD for a pointer no character has.
char32_t FourByteCharacter(int pointer) {
  if (pointer <= kLastBasicPointer) {
    const Run* run = std::prev(std::upper_bound(std::begin(kRuns), std::end(kRuns), pointer,
                                                [](int p, const Run& r) { return p < r.pointer; }));
    return run->first + static_cast<char32_t>(pointer - run->pointer);
  }
  if (pointer >= kFirstSupplementaryPointer && pointer <= kLastSupplementaryPointer) {
    return 0x10000 + static_cast<char32_t>(pointer - kFirstSupplementaryPointer);
  }
  return kReplacement;
}

bool IsDigit(int byte) { return byte >= 0x30 && byte <= 0x39; }
bool IsLead(int byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace

bool CanDecodeGb18030() { return !TwoByteCharacters().empty(); }

std::wstring Gb18030ToWide(std::string_view bytes) {
  const std::vector<wchar_t>& twoByte = TwoByteCharacters();
  const std::size_t size = bytes.size();
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::wstring out;
  out.reserve(size);
  std::size_t i = 0;
  while (i < size) {
    const int first = at(i);
    if (first < 0x80) {
      out += static_cast<wchar_t>(first);
      ++i;
      continue;
    }
    // 0x80 is the euro sign, as in GBK; 0xFF starts nothing.
    if (!IsLead(first)) {
      out += first == 0x80 ? L'\x20AC' : kReplacement;
      ++i;
      continue;
    }
    if (i + 1 == size) {
      out += kReplacement;
      break;
    }
    const int second = at(i + 1);
    if (IsDigit(second)) {
      // A four-byte code: a lead, a digit, a lead, a digit. A sequence cut off by the end is
      // one error; one broken in the middle is an error for its first byte alone.
      if (i + 2 == size || (IsLead(at(i + 2)) && i + 3 == size)) {
        out += kReplacement;
        break;
      }
      const int third = at(i + 2);
      if (!IsLead(third) || !IsDigit(at(i + 3))) {
        out += kReplacement;
        ++i;
        continue;
      }
      const int pointer =
          ((first - 0x81) * 10 + second - 0x30) * 1260 + (third - 0x81) * 10 + at(i + 3) - 0x30;
      Append(out, FourByteCharacter(pointer));
      i += 4;
    } else if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE)) {
      out += twoByte.empty() ? kReplacement : twoByte[TwoBytePointer(first, second)];
      i += 2;
    } else {
      // An ASCII byte after a lead is read again as itself.
      out += kReplacement;
      i += second < 0x80 ? 1 : 2;
    }
  }
  return out;
}

}  // namespace platform::win32
