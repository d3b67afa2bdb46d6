#include "platform/win32/Fonts.h"

#include "platform/engine/Characters.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace platform::win32 {

HDC TextDc() {
  static const HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}

FontEntry::FontEntry(const Font& font, unsigned dpi) {
  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.size * dpi / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Widen(font.name);
  wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  font_ = CreateFontIndirectW(&description);
  const HGDIOBJ old = SelectObject(TextDc(), font_);
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(TextDc(), &metrics)) lineHeight_ = metrics.tmHeight;
  SelectObject(TextDc(), old);
}

FontEntry::~FontEntry() {
  if (font_ != nullptr) DeleteObject(font_);
}

std::wstring FontEntry::DisplayText(std::string_view utf8) {
  std::wstring text = Widen(utf8);
  for (wchar_t& c : text) {
    if (engine::IsBlankedControl(c)) c = L' ';
  }
  return text;
}

// The system knows the direction of the basic plane's characters; the first strong one of
// them outside an isolate (U+2066..U+2069) decides.
bool RightToLeft(std::string_view utf8) {
  int isolates = 0;
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    const char32_t c = text::DecodeAt(utf8, i, length);
    if (c >= 0x2066 && c <= 0x2068) {
      ++isolates;
    } else if (c == 0x2069) {
      if (isolates > 0) --isolates;
    } else if (isolates == 0 && c <= 0xFFFF) {
      const wchar_t unit = static_cast<wchar_t>(c);
      WORD type = 0;
      if (!GetStringTypeW(CT_CTYPE2, &unit, 1, &type)) continue;
      if (type == C2_LEFTTORIGHT) return false;
      if (type == C2_RIGHTTOLEFT) return true;
    }
  }
  return false;
}

bool FontEntry::rightToLeft(std::string_view utf8) const { return RightToLeft(utf8); }

std::size_t FontEntry::lastBreak(std::string_view utf8, std::size_t after,
                                 std::size_t limit) const {
  const engine::BreakText stretch = engine::BreakTextOf(utf8);
  const std::vector<std::size_t>& offsets = stretch.offsets;
  const std::wstring_view text(reinterpret_cast<const wchar_t*>(stretch.units.data()),
                               stretch.units.size());
  if (text.empty()) return 0;
  const int length = static_cast<int>(text.size());
  // At most one item a unit, and the one past the end.
  std::vector<SCRIPT_ITEM> items(static_cast<std::size_t>(length) + 2);
  int count = 0;
  if (ScriptItemize(text.data(), length, length + 1, nullptr, nullptr, items.data(), &count) !=
      S_OK) {
    return 0;
  }
  std::vector<SCRIPT_LOGATTR> breaks(text.size());
  for (int k = 0; k < count; ++k) {
    const int start = items[k].iCharPos;
    ScriptBreak(text.data() + start, items[k + 1].iCharPos - start, &items[k].a,
                breaks.data() + start);
  }
  // A soft break is allowed before the unit that carries it.
  for (std::size_t k = text.size() - 1; k > 0; --k) {
    if (offsets[k] > limit) continue;
    if (offsets[k] <= after) break;
    if (breaks[k].fSoftBreak) return offsets[k];
  }
  return 0;
}

FontEntry::Line FontEntry::layOut(std::string_view utf8, bool rightToLeft) const {
  Line line;
  const std::wstring text = DisplayText(utf8);
  const int length = static_cast<int>(text.size());
  const HGDIOBJ old = SelectObject(TextDc(), font_);
  SCRIPT_STRING_ANALYSIS analysis = nullptr;
  const DWORD flags = SSA_GLYPHS | SSA_FALLBACK | SSA_LINK | (rightToLeft ? SSA_RTL : 0);
  if (ScriptStringAnalyse(TextDc(), text.data(), length, length * 3 / 2 + 16, -1, flags, 0, nullptr,
                          nullptr, nullptr, nullptr, nullptr, &analysis) == S_OK) {
    line.analysis.reset(analysis);
    line.width64 = static_cast<long long>(ScriptString_pSize(analysis)->cx) * 64;
  } else {
    SIZE size{};
    if (GetTextExtentPoint32W(TextDc(), text.data(), length, &size)) {
      line.width64 = static_cast<long long>(size.cx) * 64;
    }
    line.text = text;
  }
  SelectObject(TextDc(), old);
  return line;
}

const FontEntry::Line* FontEntry::laidOut(std::string_view utf8, bool rightToLeft) const {
  if (utf8.empty()) return nullptr;
  Lines& lines = lines_[rightToLeft ? 1 : 0];
  auto found = lines.find(utf8);
  if (found == lines.end()) {
    if (lines_[0].size() + lines_[1].size() >= kKept) forgetOldest();
    found = lines.emplace(std::string(utf8), layOut(utf8, rightToLeft)).first;
  }
  found->second.used = ++clock_;
  return &found->second;
}

void FontEntry::forgetOldest() const {
  Lines* oldestIn = nullptr;
  Lines::iterator oldest;
  for (Lines& lines : lines_) {
    for (auto it = lines.begin(); it != lines.end(); ++it) {
      if (oldestIn == nullptr || it->second.used < oldest->second.used) {
        oldestIn = &lines;
        oldest = it;
      }
    }
  }
  if (oldestIn != nullptr) oldestIn->erase(oldest);
}

long long FontEntry::advance64(std::string_view utf8, bool rightToLeft) const {
  const Line* line = laidOut(utf8, rightToLeft);
  return line != nullptr ? line->width64 : 0;
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
