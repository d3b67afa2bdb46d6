// The forms' fonts as toolkit fonts with their metrics, made once per face, size and weight:
// captions measured and drawn as the toolkit's text engine lays them out (shaped, in
// bidirectional order, from fallback fonts where this one lacks a character), each caption
// laid out once and kept while it is measured and drawn.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <QTextLayout>
#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"

namespace platform {

class FontEntry final : public engine::MeasuringFont {
 public:
  explicit FontEntry(const QFont& font);

  long long advance64(std::string_view utf8, bool rightToLeft) const override;
  bool rightToLeft(std::string_view utf8) const override;
  std::size_t lastBreak(std::string_view utf8, std::size_t after, std::size_t limit) const override;
  int lineHeight() const override { return metrics_.height(); }
  bool isMark(char32_t c) const override;

  // One line of text laid out, with its advance, and how far its glyphs are drawn below the
  // line's top: the baseline stays this font's wherever a fallback font is taller.
  struct Line {
    std::unique_ptr<QTextLayout> layout;
    long long width64 = 0;
    qreal drop = 0;
  };
  // The text laid out in the paragraph direction; null for no text. The line is kept for the
  // texts measured and drawn lately and valid until the next call.
  const Line* laidOut(std::string_view utf8, bool rightToLeft) const;

  // Text as the toolkit draws it: UTF-8 decoded (a bad byte shows as U+FFFD), each line break
  // and tab a blank, no soft hyphen.
  static QString DisplayText(std::string_view utf8);

 private:
  // More than the captions a window's width of strip shows, so that what a layout measured is
  // what the paints draw; the captions of a long feed and the pieces of a long one pass through.
  static constexpr std::size_t kKept = 256;

  struct Kept {
    std::string text;
    bool rightToLeft;
    Line line;
  };
  struct Key {
    std::string_view text;
    bool rightToLeft;
    friend bool operator==(const Key&, const Key&) = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const {
      return std::hash<std::string_view>{}(key.text) ^ static_cast<std::size_t>(key.rightToLeft);
    }
  };

  // Plain text (scripts that need no shaping, left to right) is drawn glyph by glyph; any other
  // is shaped. Neither is kerned, as the forms' text elsewhere.
  QFont plain_;
  QFont shaped_;
  QFontMetrics metrics_;
  QFontMetricsF plainMetrics_;
  // Advances in 1/64 pixel of the plain characters of the basic plane, -1 until first measured
  // (the Latin ones at first, all of them once one beyond is).
  mutable std::vector<int> advances_;
  // The lines laid out lately, the latest first.
  mutable std::list<Kept> kept_;
  mutable std::unordered_map<Key, std::list<Kept>::iterator, KeyHash> index_;

  int charAdvance64(char32_t c) const;
  // The advance of text of plain characters only, from their cached advances; -1 when it has
  // others.
  long long plainAdvance64(std::string_view utf8) const;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font);

}  // namespace platform
