// The one-line layout of captions. A caption shows on one line, every line break and tab a
// blank, in the paragraph direction of its first strong character (a Hebrew or Arabic headline
// reads from its right end). A caption of up to kWholeLimit bytes is one piece; a longer one is
// cut into pieces of at most about kPieceMax bytes, where the system's text engine allows a
// line break in the stretch, else between two characters (never inside a character or before
// what clings to it), so that measuring or drawing any part of it costs the same whatever its
// length or script. Each piece is measured and drawn on its own in the caption's direction,
// those of a right-to-left caption from its right end: what is drawn is always exactly as wide
// as what was measured.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/Surface.h"

namespace platform {
class LabelArray;
}

namespace platform::engine {

inline constexpr std::size_t kWholeLimit = 4096;
inline constexpr std::size_t kPieceMax = 256;

struct Piece {
  std::size_t begin = 0;  // byte offsets into the caption
  std::size_t end = 0;
  long long x64 = 0;         // its left edge from the caption's, in 1/64 pixel
  bool rightToLeft = false;  // the caption's paragraph direction
};

// Where the piece that starts at begin ends.
std::size_t PieceEnd(std::string_view utf8, std::size_t begin, const MeasuringFont& font);
// The pieces of the caption from its left edge to its right (for a right-to-left caption the
// last piece of its text first); returns its whole advance in 1/64 pixel.
long long LayOut(std::string_view utf8, const MeasuringFont& font, std::vector<Piece>& pieces);
// The caption's advance in whole pixels, measured as it is drawn.
int PixelWidth(std::string_view utf8, const MeasuringFont& font);

// The pieces of the long captions drawn lately, by label: a caption of megabytes is laid out
// once, not on every tick of the scroll.
class CaptionCache {
 public:
  // The pieces of the caption of label index of labels in the font.
  const std::vector<Piece>& piecesOf(const LabelArray* labels, int index,
                                     const std::string& caption, const MeasuringFont& font);
  // The caption of label index changed or the label went (index -1: every label of labels).
  void forget(const LabelArray* labels, int index);

 private:
  // More than a window's width of labels ever shows.
  static constexpr std::size_t kMaxCached = 16;
  struct Entry {
    const LabelArray* labels;
    int index;
    const char* data;
    std::size_t size;
    const MeasuringFont* font;
    std::vector<Piece> pieces;
    unsigned long long used;
  };
  std::vector<Entry> entries_;
  unsigned long long clock_ = 0;
  std::vector<Piece> whole_;
};

}  // namespace platform::engine
