#include "platform/win32/Fonts.h"

#include <map>
#include <memory>
#include <tuple>

namespace platform::win32 {

namespace {

bool IsBlankedControl(wchar_t c) {
  return c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' || c == 0x85 ||
         c == 0x2028 || c == 0x2029;
}

// Below this a piece never ends: a cut needs some room to look for a blank.
constexpr std::size_t kPieceMin = 64;

}  // namespace

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
    if (IsBlankedControl(c)) c = L' ';
  }
  return text;
}

std::size_t FontEntry::PieceEnd(std::wstring_view text, std::size_t begin) {
  if (text.size() - begin <= kPieceMax) return text.size();
  std::size_t end = begin + kPieceMax;
  for (std::size_t k = end; k > begin + kPieceMin; --k) {
    if (text[k - 1] == L' ') return k;
  }
  // A low surrogate belongs with the high one before it.
  if (text[end] >= 0xDC00 && text[end] <= 0xDFFF) --end;
  return end;
}

long long FontEntry::pieceAdvance(std::wstring_view piece) const {
  SIZE size{};
  if (piece.empty() ||
      !GetTextExtentPoint32W(dc_, piece.data(), static_cast<int>(piece.size()), &size)) {
    return 0;
  }
  return size.cx;
}

long long FontEntry::layOut(std::wstring_view text, std::vector<Piece>& pieces) const {
  pieces.clear();
  if (text.size() <= kWholeLimit) {
    pieces.push_back({0, text.size(), 0});
    return pieceAdvance(text);
  }
  long long x = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = PieceEnd(text, begin);
    pieces.push_back({begin, end, x});
    x += pieceAdvance(text.substr(begin, end - begin));
    begin = end;
  }
  return x;
}

long long FontEntry::advance(std::wstring_view text) const {
  if (text.size() <= kWholeLimit) return pieceAdvance(text);
  std::vector<Piece> pieces;
  return layOut(text, pieces);
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
