// The forms' fonts as GDI fonts, made once per face, size, weight and display: how the form
// engine measures a piece of a caption and which characters it never cuts before.
#pragma once

#include <string>
#include <string_view>

#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

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

 private:
  HFONT font_ = nullptr;
  HDC dc_ = nullptr;
  int lineHeight_ = 0;
};

// The entry lives for the rest of the run: callers may keep the reference.
const FontEntry& FontOf(const Font& font, unsigned dpi);

}  // namespace platform::win32
