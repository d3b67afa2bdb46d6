// The forms' fonts as toolkit fonts with their metrics, made once per face, size and weight,
// measured as the form engine cuts and draws captions.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <string_view>
#include <vector>

#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"

namespace platform {

class FontEntry final : public engine::MeasuringFont {
 public:
  explicit FontEntry(const QFont& font);

  const QFont& font() const { return font_; }
  const QFontMetrics& metrics() const { return metrics_; }

  long long advance64(std::string_view utf8) const override;
  int lineHeight() const override { return metrics_.height(); }
  bool isMark(char32_t c) const override;

  // Text as the toolkit draws it: UTF-8 decoded (a bad byte shows as U+FFFD), each line break
  // and tab a blank.
  static QString DisplayText(std::string_view utf8);

 private:
  QFont font_;
  QFontMetrics metrics_;
  QFontMetricsF exactMetrics_;
  // Advances in 1/64 pixel of the characters of the basic plane that are drawn one glyph
  // each, -1 until first measured (the Latin ones at first, all of them once one beyond is).
  mutable std::vector<int> advances_;

  int charAdvance64(char32_t c) const;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font);

}  // namespace platform
