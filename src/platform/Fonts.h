// The forms' fonts as toolkit fonts with their metrics, made once per face, size and weight.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
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

  // The advance of one line of UTF-8 text in whole pixels, as the toolkit measures (and
  // draws) it with this font.
  int horizontalAdvance(std::string_view utf8) const;

  // The whole characters of a line that cover the pixels from `from` to `to` (counted from
  // the line's start), and the advance before them in 1/64 pixel: drawn there, they look as
  // in the whole line. False when a character up to `to` is one the toolkit lays out its own
  // way (then only the whole line is drawn right).
  struct Slice {
    std::size_t begin = 0;  // byte offsets into the line
    std::size_t end = 0;
    long long before64 = 0;
  };
  bool plainSlice(std::string_view utf8, int from, int to, Slice& slice) const;

 private:
  QFont font_;
  QFontMetrics metrics_;
  QFontMetricsF exactMetrics_;
  // Advances in 1/64 pixel of the characters below U+0300 that are drawn one glyph each,
  // -1 until first measured.
  mutable std::vector<int> advances_;

  int advance64(char32_t c) const;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font);

}  // namespace platform
