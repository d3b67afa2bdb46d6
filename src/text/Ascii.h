// Letter case and blanks of ASCII text, the one copy every part of the program uses. Bytes
// outside ASCII (UTF-8 lead and trail bytes included) are never folded and never blanks, so
// the result does not depend on the locale the program runs in.
#pragma once

#include <string>
#include <string_view>

namespace text {

// The ASCII lower-case form of c; every other byte is returned unchanged, so folding never
// makes a non-ASCII byte equal to an ASCII letter.
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// A copy of text with its ASCII capitals made small.
inline std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

// True when a and b hold the same bytes once ASCII letter case is ignored.
constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// True when text begins with prefix, ignoring ASCII letter case.
constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// The blanks of a settings line or a typed number: space and tab.
inline constexpr std::string_view kBlanks = " \t";

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// text without the leading and trailing bytes that occur in blanks.
constexpr std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace text
