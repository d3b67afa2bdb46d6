// The forms' fonts as GDI fonts, made once per face, size, weight and display, and the
// one-line layout of captions: how a caption is measured and drawn, in pieces when it is long.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Font.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class FontEntry {
 public:
  FontEntry(const Font& font, unsigned dpi);
  ~FontEntry();
  FontEntry(const FontEntry&) = delete;
  FontEntry& operator=(const FontEntry&) = delete;

  HFONT handle() const { return font_; }
  // The height of a line, in pixels.
  int lineHeight() const { return lineHeight_; }

  // A caption shows on one line: every line break and tab in it is drawn as a blank. A
  // caption of up to kWholeLimit UTF-16 units is one piece; a longer one is cut into pieces of
  // at most kPieceMax units, after a blank where there is one, never inside a surrogate pair,
  // each measured and drawn on its own at the advance of those before it: what is drawn is
  // exactly as wide as what was measured, and drawing a part of a long caption costs the same
  // whatever its length.
  static constexpr std::size_t kWholeLimit = 4096;
  static constexpr std::size_t kPieceMax = 256;
  struct Piece {
    std::size_t begin = 0;  // offsets into the display text
    std::size_t end = 0;
    long long x = 0;  // advance of the pieces before it, in pixels
  };

  // The caption as it is drawn: UTF-16, each line break and tab a blank.
  static std::wstring DisplayText(std::string_view utf8);
  // Where the piece that starts at begin ends.
  static std::size_t PieceEnd(std::wstring_view text, std::size_t begin);
  // The pieces of a display text, in order; returns its whole advance in pixels.
  long long layOut(std::wstring_view text, std::vector<Piece>& pieces) const;
  // The advance of a display text in pixels.
  long long advance(std::wstring_view text) const;

 private:
  long long pieceAdvance(std::wstring_view piece) const;

  HFONT font_ = nullptr;
  HDC dc_ = nullptr;
  int lineHeight_ = 0;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font, unsigned dpi);

}  // namespace platform::win32
