#include "platform/qt/Fonts.h"

#include "platform/engine/Characters.h"

#include <QChar>
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

// Beyond Latin, the characters of the basic plane that are drawn the same way: scripts that
// need no shaping, written left to right, and no marks, joiners, controls or formats.
bool IsSimple(char32_t c) {
  if (c < kFastLimit) return IsPlain(c);
  if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) ||
      (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF)) {
    return false;  // Hangul letters that join into syllables
  }
  switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Other:
    case QChar::Separator_Space:
      break;
    default:
      return false;
  }
  if (QChar::direction(c) != QChar::DirL && QChar::direction(c) != QChar::DirON &&
      QChar::direction(c) != QChar::DirEN && QChar::direction(c) != QChar::DirES &&
      QChar::direction(c) != QChar::DirET && QChar::direction(c) != QChar::DirCS &&
      QChar::direction(c) != QChar::DirWS) {
    return false;
  }
  switch (QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Armenian:
    case QChar::Script_Georgian:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Hangul:
      return true;
    default:
      return false;
  }
}

QFont Prepared(QFont font) {
  // As the forms' text drawing does: no kerning, and no shaping where the script needs
  // none. A line is then as wide as the sum of its characters' advances, and the drawn
  // text (same font) advances by exactly the measured width.
  font.setKerning(false);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

// The character at i as far as the fast path reads UTF-8 (the basic plane), and its length
// in bytes; 0 for anything else.
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
  if ((byte & 0xF0) == 0xE0 && i + 2 < utf8.size() &&
      (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80 &&
      (static_cast<unsigned char>(utf8[i + 2]) & 0xC0) == 0x80) {
    length = 3;
    const auto c = static_cast<char32_t>(((byte & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) |
                                         (utf8[i + 2] & 0x3F));
    return c >= 0x800 ? c : 0;
  }
  length = 1;
  return 0;
}

}  // namespace

bool FontEntry::isMark(char32_t c) const {
  const QChar::Category category = QChar::category(c);
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

FontEntry::FontEntry(const QFont& font)
    : font_(Prepared(font)), metrics_(font_), exactMetrics_(font_), advances_(kFastLimit, -1) {}

int FontEntry::charAdvance64(char32_t c) const {
  if (c >= advances_.size()) advances_.resize(0x10000, -1);
  int& advance = advances_[c];
  if (advance < 0) {
    const QString one = QString::fromUcs4(&c, 1);
    advance = static_cast<int>(std::lround(exactMetrics_.horizontalAdvance(one) * 64));
  }
  return advance;
}

QString FontEntry::DisplayText(std::string_view utf8) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  for (QChar& ch : text) {
    if (engine::IsBlankedControl(ch.unicode())) ch = QLatin1Char(' ');
  }
  return text;
}

long long FontEntry::advance64(std::string_view piece) const {
  // Fast path: simple characters only, summed from cached advances (exact in 1/64 pixel, as
  // the toolkit adds them up).
  long long sum = 0;
  for (std::size_t i = 0; i < piece.size();) {
    std::size_t length = 0;
    char32_t c = CharacterAt(piece, i, length);
    if (engine::IsBlankedControl(c)) c = ' ';
    if (!IsSimple(c)) {
      return std::llround(exactMetrics_.horizontalAdvance(DisplayText(piece)) * 64);
    }
    sum += charAdvance64(c);
    i += length;
  }
  return sum;
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
