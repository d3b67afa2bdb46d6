#include "feed/AsciiSearch.h"

#include <cstring>
#include <string>

#include "feed/ByteScanner.h"

namespace feed {

namespace {

// Field values are short; for them one memchr per candidate beats setting up a block scan.
constexpr std::size_t kShortText = 256;

bool EqualsFoldedAt(std::string_view haystack, std::size_t at, std::string_view lowerNeedle) {
  for (std::size_t i = 0; i < lowerNeedle.size(); ++i) {
    if (AsciiLower(haystack[at + i]) != lowerNeedle[i]) return false;
  }
  return true;
}

}  // namespace

std::size_t FindLowerNeedle(std::string_view haystack, std::string_view lowerNeedle,
                            std::size_t from) {
  if (from > haystack.size()) return std::string_view::npos;
  if (lowerNeedle.empty()) return from;
  if (lowerNeedle.size() > haystack.size() - from) return std::string_view::npos;
  const std::size_t last = haystack.size() - lowerNeedle.size();
  const char first = lowerNeedle.front();
  const char firstUpper = (first >= 'a' && first <= 'z') ? char(first - 'a' + 'A') : first;
  const char* const base = haystack.data();
  std::size_t i = from;
  if (first == firstUpper && haystack.size() - from < kShortText) {
    // Tags and escapes open with a punctuation byte: only its positions are candidates.
    while (i <= last) {
      const void* hit = std::memchr(base + i, first, last - i + 1);
      if (hit == nullptr) return std::string_view::npos;
      i = std::size_t(static_cast<const char*>(hit) - base);
      if (EqualsFoldedAt(haystack, i + 1, lowerNeedle.substr(1))) return i;
      ++i;
    }
    return std::string_view::npos;
  }
  if (first == firstUpper) {
    // In a whole document the first byte is usually '<', found every few dozen bytes: filter
    // on the second byte too before comparing.
    ByteScanner candidates(haystack, first, from,
                           lowerNeedle.size() > 1 ? std::optional(lowerNeedle[1]) : std::nullopt);
    for (i = candidates.Next(); i <= last; i = candidates.Next()) {
      if (EqualsFoldedAt(haystack, i + 1, lowerNeedle.substr(1))) return i;
    }
    return std::string_view::npos;
  }
  for (; i <= last; ++i) {
    const char c = base[i];
    if ((c == first || c == firstUpper) && EqualsFoldedAt(haystack, i + 1, lowerNeedle.substr(1)))
      return i;
  }
  return std::string_view::npos;
}

std::size_t FindAscii(std::string_view haystack, std::string_view needle, std::size_t from,
                      bool matchCase) {
  if (from > haystack.size()) return std::string_view::npos;
  if (matchCase) return haystack.find(needle, from);
  return FindLowerNeedle(haystack, text::AsciiLowered(needle), from);
}

}  // namespace feed
