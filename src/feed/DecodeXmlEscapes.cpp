#include <cstdint>
#include <optional>
#include <string>

#include "feed/AsciiSearch.h"
#include "feed/FieldDecoding.h"
#include "feed/ParseRss.h"

namespace {

constexpr std::uint32_t kMaxCodePoint = 0x10FFFF;

bool IsValidCodePoint(std::uint32_t cp) {
  return cp != 0 && cp <= kMaxCodePoint && !(cp >= 0xD800 && cp <= 0xDFFF);
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct Reference {
  std::string_view replacement;  // set for a named escape
  std::uint32_t codePoint = 0;   // set for a numeric one
  std::size_t length = 0;        // bytes of the reference, "&" to ";" inclusive
};

// The reference that starts at text[0] == '&', if it is one this decoder turns into text.
// Names and the "x" of a hexadecimal reference are matched exactly, as XML writes them.
std::optional<Reference> ReadReference(std::string_view text, bool decodeAmp) {
  struct Named {
    std::string_view escape;
    std::string_view character;
  };
  static constexpr Named kNamed[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const Named& named : kNamed) {
    if (named.escape == "&amp;" && !decodeAmp) continue;
    if (text.starts_with(named.escape)) return Reference{named.character, 0, named.escape.size()};
  }
  if (!text.starts_with("&#")) return std::nullopt;
  const bool hex = text.size() > 2 && text[2] == 'x';
  std::size_t i = hex ? 3 : 2;
  const std::size_t firstDigit = i;
  std::uint32_t value = 0;
  bool tooLarge = false;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], hex);
    if (digit < 0) break;
    // Leading zeros are allowed, so the digit count alone cannot rule a value out.
    if (!tooLarge) {
      value = value * (hex ? 16 : 10) + std::uint32_t(digit);
      tooLarge = value > kMaxCodePoint;
    }
  }
  if (i == firstDigit || i >= text.size() || text[i] != ';') return std::nullopt;
  if (tooLarge || !IsValidCodePoint(value)) return std::nullopt;
  return Reference{{}, value, i + 1};
}

// A C0 or C1 control character, or DEL: shown as a blank, as a line break is.
bool IsControl(std::uint32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0); }

bool StartsWithLower(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    if (feed::AsciiLower(text[i]) != lowerPrefix[i]) return false;
  }
  return true;
}

}  // namespace

namespace feed {

void AppendTitleReferencesDecoded(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  std::size_t from = 0;
  for (;;) {
    const std::size_t amp = text.find('&', from);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(from, amp - from));
    const std::string_view rest = text.substr(amp);
    // Feeds that escape their ampersands twice write "&amp;amp;" for one "&", in any case.
    std::size_t length = StartsWithLower(rest, "&amp;amp;") ? 9
                         : StartsWithLower(rest, "&amp;")   ? 5
                                                            : 0;
    if (length != 0) {
      out.push_back('&');
    } else if (const std::optional<Reference> ref = ReadReference(rest, false)) {
      if (!ref->replacement.empty()) {
        out.append(ref->replacement);
      } else if (IsControl(ref->codePoint)) {
        out.push_back(' ');
      } else {
        AppendUtf8(out, ref->codePoint);
      }
      length = ref->length;
    } else {
      out.push_back('&');
      length = 1;
    }
    from = amp + length;
  }
  out.append(text.substr(from));
}

void AppendXmlEscapesDecoded(std::string& out, std::string_view text, bool decodeAmp) {
  out.reserve(out.size() + text.size());
  std::size_t from = 0;
  for (;;) {
    const std::size_t amp = text.find('&', from);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(from, amp - from));
    const std::optional<Reference> ref = ReadReference(text.substr(amp), decodeAmp);
    if (!ref) {
      out.push_back('&');
      from = amp + 1;
      continue;
    }
    if (ref->replacement.empty()) {
      AppendUtf8(out, ref->codePoint);
    } else {
      out.append(ref->replacement);
    }
    from = amp + ref->length;
  }
  out.append(text.substr(from));
}

}  // namespace feed

std::string DecodeXmlEscapes(std::string_view text, bool decodeAmp) {
  std::string out;
  feed::AppendXmlEscapesDecoded(out, text, decodeAmp);
  return out;
}

std::string DecodeTitleReferences(std::string_view text) {
  std::string out;
  feed::AppendTitleReferencesDecoded(out, text);
  return out;
}
