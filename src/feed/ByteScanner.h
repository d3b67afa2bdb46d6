// Yields, in order, the positions where a byte occurs, optionally only those followed by a given
// second byte (ASCII letter case ignored). Markup is dense in '<' (one every few dozen bytes),
// where a memchr call per hit costs more than the search itself; this reads 16 bytes per step,
// filters on both bytes at once and hands out the hits of each block from a bit mask.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace feed {

class ByteScanner {
 public:
  // `second`, when given, must be in lower case.
  ByteScanner(std::string_view text, char first, std::size_t from,
              std::optional<char> second = std::nullopt)
      : text_(text),
        first_(first),
        hasSecond_(second.has_value()),
        second_(second.value_or(0)),
        secondFold_(second_ >= 'a' && second_ <= 'z' ? 0x20 : 0),
        block_(from),
        hits_(from < text.size() ? HitsAt(from) : 0) {}

  // The next position, or npos once the text is exhausted.
  std::size_t Next() {
    if (hits_ == 0) {
      // Kept in locals so that the loop over quiet blocks runs in registers.
      const std::size_t size = text_.size();
      std::size_t block = block_;
      std::uint32_t hits = 0;
      while (hits == 0) {
        if (block + kBlock >= size) {
          block_ = block;
          return std::string_view::npos;
        }
        block += kBlock;
        hits = HitsAt(block);
      }
      block_ = block;
      hits_ = hits;
    }
    const std::size_t at = block_ + std::size_t(__builtin_ctz(hits_));
    hits_ &= hits_ - 1;
    return at;
  }

 private:
  static constexpr std::size_t kBlock = 16;

  // Bit i set when text[at + i] is a hit, for the block of up to 16 bytes at `at`.
  std::uint32_t HitsAt(std::size_t at) const {
    const char* p = text_.data() + at;
#if defined(__SSE2__)
    // The second byte's block starts one later, so it needs one byte more of text.
    if (text_.size() - at >= kBlock + 1) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      std::uint32_t hits =
          std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(first_))));
      if (hasSecond_ && hits != 0) {
        __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        next = _mm_or_si128(next, _mm_set1_epi8(secondFold_));
        hits &= std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(next, _mm_set1_epi8(second_))));
      }
      return hits;
    }
#endif
    std::uint32_t hits = 0;
    const std::size_t n = std::min(kBlock, text_.size() - at);
    for (std::size_t i = 0; i < n; ++i) {
      if (p[i] != first_) continue;
      if (hasSecond_ && (at + i + 1 >= text_.size() || char(p[i + 1] | secondFold_) != second_))
        continue;
      hits |= 1u << i;
    }
    return hits;
  }

  std::string_view text_;
  char first_;
  bool hasSecond_;
  char second_;
  char secondFold_;
  std::size_t block_;
  std::uint32_t hits_;
};

}  // namespace feed
