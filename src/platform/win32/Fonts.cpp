#include "platform/win32/Fonts.h"

#include "platform/engine/Characters.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace platform::win32 {

FontEntry::FontEntry(const Font& font, unsigned dpi) {
  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.size * dpi / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Widen(font.name);
  wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  font_ = CreateFontIndirectW(&description);
  dc_ = CreateCompatibleDC(nullptr);
  if (font_ != nullptr) SelectObject(dc_, font_);
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc_, &metrics)) lineHeight_ = metrics.tmHeight;
}

FontEntry::~FontEntry() {
  if (dc_ != nullptr) DeleteDC(dc_);
  if (font_ != nullptr) DeleteObject(font_);
}

std::wstring FontEntry::DisplayText(std::string_view utf8) {
  std::wstring text = Widen(utf8);
  for (wchar_t& c : text) {
    if (engine::IsBlankedControl(c)) c = L' ';
  }
  return text;
}

bool FontEntry::rightToLeft(std::string_view utf8) const {
  const std::wstring text = Widen(utf8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE2, &text[i], 1, &type)) continue;
    if (type == C2_LEFTTORIGHT) return false;
    if (type == C2_RIGHTTOLEFT) return true;
  }
  return false;
}

std::size_t FontEntry::lastBreak(std::string_view utf8, std::size_t after,
                                 std::size_t limit) const {
  for (std::size_t i = std::min(limit, utf8.size()); i > after; --i) {
    const auto byte = static_cast<unsigned char>(utf8[i - 1]);
    if (byte < 0x80 && engine::IsBlank(byte)) return i;
  }
  return 0;
}

long long FontEntry::advance64(std::string_view utf8, bool) const {
  const std::wstring text = DisplayText(utf8);
  SIZE size{};
  if (text.empty() ||
      !GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size)) {
    return 0;
  }
  return static_cast<long long>(size.cx) * 64;
}

// GDI knows the basic plane's marks as non-spacing, diacritic or vowel marks.
bool FontEntry::isMark(char32_t c) const {
  if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  const wchar_t unit = static_cast<wchar_t>(c);
  WORD type = 0;
  if (!GetStringTypeW(CT_CTYPE3, &unit, 1, &type)) return false;
  return (type & (C3_NONSPACING | C3_DIACRITIC | C3_VOWELMARK)) != 0;
}

const FontEntry& FontOf(const Font& font, unsigned dpi) {
  using Key = std::tuple<std::string, float, bool, unsigned>;
  static std::map<Key, std::unique_ptr<FontEntry>> cache;
  const Key key{font.name, font.size, font.bold, dpi};
  auto found = cache.find(key);
  if (found == cache.end()) {
    found = cache.emplace(key, std::make_unique<FontEntry>(font, dpi)).first;
  }
  return *found->second;
}

}  // namespace platform::win32
