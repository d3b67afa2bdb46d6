// Which characters of a caption the forms draw as blanks, and which belong to the character
// before them (a caption is never cut between the two): one list for every window system and
// for the caption code. A window system answers only whether a character is a combining mark.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform::engine {

class MeasuringFont;

// Line breaks and tabs: each is drawn as one blank.
constexpr bool IsBlankedControl(char32_t c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x85 ||
         c == 0x2028 || c == 0x2029;
}

// A blank a long caption may be cut after: the space, or a control drawn as one.
constexpr bool IsBlank(char32_t c) { return c == ' ' || IsBlankedControl(c); }

// Joiners, variation selectors, skin tones, emoji tags, the conjoining vowels and final
// consonants of Hangul, and the marks the font's system knows of.
bool ClingsToPrevious(char32_t c, const MeasuringFont& font);

// A stretch of a caption as a system's text engine takes it to find where a line may break:
// its UTF-16 units, each blanked control a blank, and the byte offset of each unit in the
// stretch, then the stretch's size.
struct BreakText {
  std::u16string units;
  std::vector<std::size_t> offsets;
};
BreakText BreakTextOf(std::string_view utf8);

}  // namespace platform::engine
