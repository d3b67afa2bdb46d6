#include "platform/engine/CaptionPieces.h"

#include <algorithm>

#include "platform/engine/Characters.h"
#include "text/Utf8.h"

namespace platform::engine {

namespace {

// Below this a piece never ends: a cut needs some room to look for a break.
constexpr std::size_t kPieceMin = 64;
// Bytes beyond a piece's longest stretch that the text engine sees when it looks for a break:
// whether a break may come before a character depends on the one after it.
constexpr std::size_t kBreakContext = 16;

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The code point that starts at i.
char32_t CodePointAt(std::string_view utf8, std::size_t i) {
  std::size_t length = 0;
  return text::DecodeAt(utf8, i, length);
}

// Start of the character that ends before i (i > 0).
std::size_t PreviousStart(std::string_view utf8, std::size_t i) {
  std::size_t start = i - 1;
  for (int k = 0; k < 3 && start > 0 && IsContinuation(utf8[start]); ++k) --start;
  return start;
}

// Each piece in the order of the text, x64 the advance of those before it.
template <typename Each>
long long ForEachPiece(std::string_view utf8, bool rightToLeft, const MeasuringFont& font,
                       Each each) {
  long long x64 = 0;
  for (std::size_t begin = 0; begin < utf8.size();) {
    const std::size_t end = PieceEnd(utf8, begin, font);
    const long long advance = font.advance64(utf8.substr(begin, end - begin), rightToLeft);
    each(Piece{begin, end, x64, rightToLeft}, advance);
    x64 += advance;
    begin = end;
  }
  return x64;
}

}  // namespace

std::size_t PieceEnd(std::string_view utf8, std::size_t begin, const MeasuringFont& font) {
  const std::size_t size = utf8.size();
  if (begin == 0 && size <= kWholeLimit) return size;
  if (size - begin <= kPieceMax) return size;
  const std::size_t limit = begin + kPieceMax;
  // At the last line break the text engine allows in the stretch, when one is far enough in:
  // after a blank, between ideographs, never inside a word or a joined run.
  const std::size_t at =
      font.lastBreak(utf8.substr(begin, kPieceMax + kBreakContext), kPieceMin, kPieceMax);
  if (at > kPieceMin && at <= kPieceMax) return begin + at;
  // Else before a character that stands on its own, not one that clings to the one before it
  // (nor after a joiner).
  std::size_t cut = limit;
  while (cut > begin && IsContinuation(utf8[cut])) --cut;
  const std::size_t fallback = cut > begin ? cut : limit;
  while (cut > begin + kPieceMin) {
    const std::size_t previous = PreviousStart(utf8, cut);
    if (!ClingsToPrevious(CodePointAt(utf8, cut), font) && CodePointAt(utf8, previous) != 0x200D) {
      return cut;
    }
    cut = previous;
  }
  return fallback;
}

long long LayOut(std::string_view utf8, const MeasuringFont& font, std::vector<Piece>& pieces) {
  pieces.clear();
  const bool rightToLeft = font.rightToLeft(utf8);
  std::vector<long long> advances;
  const long long width64 =
      ForEachPiece(utf8, rightToLeft, font, [&](const Piece& piece, long long advance) {
        pieces.push_back(piece);
        if (rightToLeft) advances.push_back(advance);
      });
  if (rightToLeft) {
    // The text's first piece stands at the right end, the others to its left in turn.
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      pieces[i].x64 = width64 - pieces[i].x64 - advances[i];
    }
    std::reverse(pieces.begin(), pieces.end());
  }
  return width64;
}

int PixelWidth(std::string_view utf8, const MeasuringFont& font) {
  const long long width64 =
      ForEachPiece(utf8, font.rightToLeft(utf8), font, [](const Piece&, long long) {});
  // Rounded once at the end, as text drawing does.
  return static_cast<int>((width64 + 32) >> 6);
}

const std::vector<Piece>& CaptionCache::piecesOf(const LabelArray* labels, int index,
                                                 const std::string& caption,
                                                 const MeasuringFont& font) {
  if (caption.size() <= kWholeLimit) {
    whole_.assign(1, Piece{0, caption.size(), 0, font.rightToLeft(caption)});
    return whole_;
  }
  ++clock_;
  for (Entry& entry : entries_) {
    if (entry.labels != labels || entry.index != index) continue;
    if (entry.data != caption.data() || entry.size != caption.size() || entry.font != &font) {
      entry.data = caption.data();
      entry.size = caption.size();
      entry.font = &font;
      LayOut(caption, font, entry.pieces);
    }
    entry.used = clock_;
    return entry.pieces;
  }
  if (entries_.size() >= kMaxCached) {
    entries_.erase(
        std::min_element(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.used < b.used; }));
  }
  Entry& entry = entries_.emplace_back(
      Entry{labels, index, caption.data(), caption.size(), &font, {}, clock_});
  LayOut(caption, font, entry.pieces);
  return entry.pieces;
}

void CaptionCache::forget(const LabelArray* labels, int index) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const Entry& entry) {
                                  return entry.labels == labels &&
                                         (index < 0 || entry.index == index);
                                }),
                 entries_.end());
}

}  // namespace platform::engine
