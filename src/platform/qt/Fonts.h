// The forms' fonts as toolkit fonts with their metrics, made once per face, size and weight,
// and the one-line text layout of captions: how a caption is measured and drawn in pieces.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/Font.h"

namespace platform {

class FontEntry {
 public:
  explicit FontEntry(const QFont& font);

  const QFont& font() const { return font_; }
  const QFontMetrics& metrics() const { return metrics_; }

  // A caption shows on one line: every line break and tab in it is drawn as a blank. A
  // caption of up to kWholeLimit bytes is one piece; a longer one is cut into pieces of at
  // most about kPieceMax bytes, after a blank where there is one, else between two
  // characters (never inside a character with its marks), so that measuring or drawing any
  // part of it costs the same whatever its length or script. Each piece is measured and
  // drawn on its own, at the advance of the pieces before it: what is drawn is always
  // exactly as wide as what was measured.
  static constexpr std::size_t kWholeLimit = 4096;
  static constexpr std::size_t kPieceMax = 256;
  struct Piece {
    std::size_t begin = 0;  // byte offsets into the caption
    std::size_t end = 0;
    long long x64 = 0;  // advance of the pieces before it, in 1/64 pixel
  };

  // The advance of the caption in whole pixels, as it is drawn with this font.
  int horizontalAdvance(std::string_view utf8) const;
  // The pieces of the caption, in order; returns its whole advance in 1/64 pixel.
  long long layOut(std::string_view utf8, std::vector<Piece>& pieces) const;
  // The advance of one piece in 1/64 pixel.
  long long pieceAdvance64(std::string_view piece) const;
  // A piece as the toolkit draws it: UTF-8 decoded (a bad byte shows as U+FFFD), each line
  // break and tab a blank.
  static QString DisplayText(std::string_view utf8);
  // Where the piece that starts at `begin` ends (see above).
  static std::size_t PieceEnd(std::string_view utf8, std::size_t begin);

 private:
  template <typename Each>
  long long forEachPiece(std::string_view utf8, Each each) const;

  QFont font_;
  QFontMetrics metrics_;
  QFontMetricsF exactMetrics_;
  // Advances in 1/64 pixel of the characters of the basic plane that are drawn one glyph
  // each, -1 until first measured (the Latin ones at first, all of them once one beyond is).
  mutable std::vector<int> advances_;

  int advance64(char32_t c) const;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font);

}  // namespace platform
