#include "platform/Fonts.h"

#include <QString>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace platform {

namespace {

constexpr char32_t kFastLimit = 0x300;  // Latin, its extensions, IPA, spacing modifiers

// Characters the toolkit lays out as one glyph with its own advance, whatever surrounds
// them: no controls, no soft hyphen.
bool IsPlain(char32_t c) {
  return c >= 0x20 && c < kFastLimit && !(c >= 0x7F && c < 0xA0) && c != 0xAD;
}

QFont Prepared(QFont font) {
  // As the forms' text drawing does: no kerning, and no shaping where the script needs
  // none. A line is then as wide as the sum of its characters' advances, and the drawn
  // text (same font) advances by exactly the measured width.
  font.setKerning(false);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

}  // namespace

FontEntry::FontEntry(const QFont& font)
    : font_(Prepared(font)), metrics_(font_), exactMetrics_(font_), advances_(kFastLimit, -1) {}

namespace {

// The character at i as far as the fast paths read UTF-8 (one- and two-byte sequences), and
// its length in bytes; 0 for anything else.
char32_t CharacterAt(std::string_view utf8, std::size_t i, std::size_t& length) {
  const auto byte = static_cast<unsigned char>(utf8[i]);
  if (byte < 0x80) {
    length = 1;
    return byte;
  }
  if ((byte & 0xE0) == 0xC0 && i + 1 < utf8.size() &&
      (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
    length = 2;
    return static_cast<char32_t>(((byte & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
  }
  length = 1;
  return 0;
}

}  // namespace

int FontEntry::advance64(char32_t c) const {
  int& advance = advances_[c];
  if (advance < 0) {
    const QString one = QString::fromUcs4(&c, 1);
    advance = static_cast<int>(std::lround(exactMetrics_.horizontalAdvance(one) * 64));
  }
  return advance;
}

int FontEntry::horizontalAdvance(std::string_view utf8) const {
  // Fast path: text of plain characters only, summed from cached advances (exact in 1/64
  // pixel, rounded once at the end as the toolkit does).
  long long sum = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = 0;
    const char32_t c = CharacterAt(utf8, i, length);
    if (!IsPlain(c)) {
      return metrics_.horizontalAdvance(
          QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    }
    sum += advance64(c);
    i += length;
  }
  return static_cast<int>((sum + 32) >> 6);
}

bool FontEntry::plainSlice(std::string_view utf8, int from, int to, Slice& slice) const {
  const long long from64 = static_cast<long long>(from) * 64;
  const long long to64 = static_cast<long long>(to) * 64;
  long long x = 0;
  bool begun = false;
  std::size_t i = 0;
  while (i < utf8.size() && x < to64) {
    std::size_t length = 0;
    const char32_t c = CharacterAt(utf8, i, length);
    if (!IsPlain(c)) return false;
    const long long next = x + advance64(c);
    if (!begun && next > from64) {
      slice.begin = i;
      slice.before64 = x;
      begun = true;
    }
    x = next;
    i += length;
  }
  if (!begun) {
    slice.begin = i;
    slice.before64 = x;
  }
  slice.end = i;
  return true;
}

const FontEntry& FontOf(const Font& font) {
  using Key = std::tuple<std::string, float, bool>;
  static std::map<Key, std::unique_ptr<FontEntry>> cache;
  Key key{font.name, font.size, font.bold};
  auto found = cache.find(key);
  if (found == cache.end()) {
    QFont qfont(QString::fromStdString(font.name));
    qfont.setPointSizeF(font.size > 0 ? font.size : 8.25);
    qfont.setBold(font.bold);
    found = cache.emplace(std::move(key), std::make_unique<FontEntry>(qfont)).first;
  }
  return *found->second;
}

}  // namespace platform
