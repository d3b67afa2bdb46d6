// The forms' fonts as GDI fonts, made once per face, size, weight and display: captions
// measured and drawn as Uniscribe lays them out (shaped, in bidirectional order, characters the
// font lacks from the fonts its fallback and GDI's font linking find), each caption laid out
// once and kept while it is measured and drawn.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"
#include "platform/win32/Win32.h"

#include <usp10.h>

namespace platform::win32 {

// The memory DC every caption is laid out on and every window painted through: Uniscribe draws
// a laid-out caption only on the DC it was laid out on. Made at first use, kept for the run.
HDC TextDc();

// True when the text's first strong character is right to left.
bool RightToLeft(std::string_view utf8);

class FontEntry final : public engine::MeasuringFont {
 public:
  FontEntry(const Font& font, unsigned dpi);
  ~FontEntry() override;
  FontEntry(const FontEntry&) = delete;
  FontEntry& operator=(const FontEntry&) = delete;

  HFONT handle() const { return font_; }

  // The text as GDI draws it on one line: UTF-16, each line break and tab a blank.
  static std::wstring DisplayText(std::string_view utf8);

  // engine::MeasuringFont.
  long long advance64(std::string_view utf8, bool rightToLeft) const override;
  bool rightToLeft(std::string_view utf8) const override;
  std::size_t lastBreak(std::string_view utf8, std::size_t after, std::size_t limit) const override;
  int lineHeight() const override { return lineHeight_; }
  bool isMark(char32_t c) const override;

  struct FreeAnalysis {
    void operator()(void* analysis) const { ScriptStringFree(&analysis); }
  };
  // One line of text as Uniscribe laid it out on TextDc(), with its advance; without an
  // analysis when Uniscribe refused the text, which GDI then measures and draws unshaped.
  struct Line {
    std::unique_ptr<void, FreeAnalysis> analysis;
    std::wstring text;
    long long width64 = 0;
    unsigned long long used = 0;
  };
  // The text laid out in the paragraph direction; null for no text. The line is kept for the
  // texts measured and drawn lately and valid until the next call.
  const Line* laidOut(std::string_view utf8, bool rightToLeft) const;

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

  HFONT font_ = nullptr;
  int lineHeight_ = 0;
  mutable Lines lines_[2];  // left to right, right to left
  mutable unsigned long long clock_ = 0;

  Line layOut(std::string_view utf8, bool rightToLeft) const;
  void forgetOldest() const;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font, unsigned dpi);

}  // namespace platform::win32
