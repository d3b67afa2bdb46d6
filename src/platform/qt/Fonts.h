// The forms' fonts as toolkit fonts with their metrics, made once per face, size and weight:
// captions measured and drawn as the toolkit's text engine lays them out (shaped, in
// bidirectional order, from fallback fonts where this one lacks a character), each caption
// laid out once and kept while it is measured and drawn.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QTextLayout>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"

namespace platform {

class FontEntry final : public engine::MeasuringFont {
 public:
  explicit FontEntry(const QFont& font);

  const QFont& font() const { return font_; }
  const QFontMetrics& metrics() const { return metrics_; }

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
    unsigned long long used = 0;
  };
  // The text laid out in the paragraph direction; null for no text. The line is kept for the
  // texts measured and drawn lately and valid until the next call.
  const Line* laidOut(std::string_view utf8, bool rightToLeft) const;

  // Text as the toolkit draws it: UTF-8 decoded (a bad byte shows as U+FFFD), each line break
  // and tab a blank, no soft hyphen.
  static QString DisplayText(std::string_view utf8);

 private:
  // More than the captions of a long feed, so that a layout's measuring is what the paints
  // use; a caption cut into pieces only passes through.
  static constexpr std::size_t kKept = 512;

  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  using Lines = std::unordered_map<std::string, Line, Hash, std::equal_to<>>;

  QFont font_;
  QFontMetrics metrics_;
  mutable Lines lines_[2];  // left to right, right to left
  mutable unsigned long long clock_ = 0;

  void forgetOldest() const;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font);

}  // namespace platform
