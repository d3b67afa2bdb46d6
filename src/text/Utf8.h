// Reading UTF-8 one code point at a time, as the systems' decoders do: a malformed sequence
// (a stray or missing continuation byte, an overlong form, a surrogate, beyond U+10FFFF) is one
// U+FFFD for its first byte, and decoding goes on with the next.
#pragma once

#include <cstddef>
#include <string_view>

namespace text {

// The code point that starts at byte i of utf8 (i < size), and its length in bytes.
inline char32_t DecodeAt(std::string_view utf8, std::size_t i, std::size_t& length) {
  const auto byte = static_cast<unsigned char>(utf8[i]);
  length = 1;
  if (byte < 0x80) return byte;
  const std::size_t size = byte >= 0xC2 && byte <= 0xDF   ? 2
                           : (byte & 0xF0) == 0xE0        ? 3
                           : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                          : 0;
  if (size == 0 || i + size > utf8.size()) return 0xFFFD;
  char32_t c = byte & (0x7F >> size);
  for (std::size_t k = 1; k < size; ++k) {
    const auto next = static_cast<unsigned char>(utf8[i + k]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (next & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[size] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  length = size;
  return c;
}

}  // namespace text
