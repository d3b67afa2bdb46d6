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

int FontEntry::horizontalAdvance(std::string_view utf8) const {
  // Fast path: text of plain characters only, summed from cached advances (exact in 1/64
  // pixel, rounded once at the end as the toolkit does).
  long long sum = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    char32_t c;
    if (byte < 0x80) {
      c = byte;
      i += 1;
    } else if ((byte & 0xE0) == 0xC0 && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      c = static_cast<char32_t>(((byte & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
      i += 2;
    } else {
      c = 0;  // anything else goes the toolkit's way
    }
    if (!IsPlain(c)) {
      return metrics_.horizontalAdvance(
          QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    }
    int& advance = advances_[c];
    if (advance < 0) {
      const QString one = QString::fromUcs4(&c, 1);
      advance = static_cast<int>(std::lround(exactMetrics_.horizontalAdvance(one) * 64));
    }
    sum += advance;
  }
  return static_cast<int>((sum + 32) >> 6);
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
