#include "platform/engine/Characters.h"

#include "platform/engine/Surface.h"
#include "text/Utf8.h"

namespace platform::engine {

namespace {

constexpr bool Within(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

}  // namespace

bool ClingsToPrevious(char32_t c, const MeasuringFont& font) {
  return c == 0x200C || c == 0x200D || Within(c, 0xFE00, 0xFE0F) || Within(c, 0xE0100, 0xE01EF) ||
         Within(c, 0x1F3FB, 0x1F3FF) || Within(c, 0xE0020, 0xE007F) || Within(c, 0x1160, 0x11FF) ||
         Within(c, 0xD7B0, 0xD7FF) || font.isMark(c);
}

BreakText BreakTextOf(std::string_view utf8) {
  BreakText text;
  text.units.reserve(utf8.size());
  text.offsets.reserve(utf8.size() + 1);
  // Unit by unit: a string made for each character cost more than the breaking itself.
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    char32_t c = text::DecodeAt(utf8, i, length);
    if (IsBlankedControl(c)) c = ' ';
    if (c > 0xFFFF) {
      text.units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      text.units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      text.offsets.push_back(i);
    } else {
      text.units += static_cast<char16_t>(c);
    }
    text.offsets.push_back(i);
  }
  text.offsets.push_back(utf8.size());
  return text;
}

}  // namespace platform::engine
