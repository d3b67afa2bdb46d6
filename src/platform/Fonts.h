// The forms' fonts as toolkit fonts with their metrics, made once per face, size and weight.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
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

 private:
  QFont font_;
  QFontMetrics metrics_;
  QFontMetricsF exactMetrics_;
  // Advances in 1/64 pixel of the characters below U+0300 that are drawn one glyph each,
  // -1 until first measured.
  mutable std::vector<int> advances_;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font);

}  // namespace platform
