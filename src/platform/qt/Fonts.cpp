#include "platform/qt/Fonts.h"

#include "platform/engine/Characters.h"
#include "text/Utf8.h"

#include <QChar>
#include <QTextBoundaryFinder>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

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

std::unique_ptr<QTextLayout> LayOutLine(const QString& text, const QFont& font, bool rtl) {
  auto layout = std::make_unique<QTextLayout>(text, font);
  // From the left edge whatever the direction, trailing blanks included: a piece of a long
  // caption ends with the blank it was cut after, and its advance counts it.
  QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  if (line.isValid()) {
    line.setNumColumns(static_cast<int>(text.size()));
    line.setPosition(QPointF(0, 0));
  }
  layout->endLayout();
  return layout;
}

}  // namespace

FontEntry::FontEntry(const QFont& font)
    : plain_(font), shaped_(font), metrics_(font), plainMetrics_(font), advances_(kFastLimit, -1) {
  // No kerning, as the forms' text drawing elsewhere; plain text without shaping is then as
  // wide as the sum of its characters' advances, and drawn (same font) exactly that wide.
  plain_.setKerning(false);
  plain_.setStyleStrategy(QFont::PreferNoShaping);
  shaped_.setKerning(false);
  metrics_ = QFontMetrics(plain_);
  plainMetrics_ = QFontMetricsF(plain_);
}

int FontEntry::charAdvance64(char32_t c) const {
  if (c >= advances_.size()) advances_.resize(0x10000, -1);
  int& advance = advances_[c];
  if (advance < 0) {
    const QString one = QString::fromUcs4(&c, 1);
    advance = static_cast<int>(std::lround(plainMetrics_.horizontalAdvance(one) * 64));
  }
  return advance;
}

long long FontEntry::plainAdvance64(std::string_view utf8) const {
  long long sum = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = 0;
    char32_t c = CharacterAt(utf8, i, length);
    if (engine::IsBlankedControl(c)) c = ' ';
    if (!IsSimple(c)) return -1;
    sum += charAdvance64(c);
    i += length;
  }
  return sum;
}

bool FontEntry::isMark(char32_t c) const {
  const QChar::Category category = QChar::category(c);
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

bool FontEntry::rightToLeft(std::string_view utf8) const {
  int isolates = 0;
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    const char32_t c = text::DecodeAt(utf8, i, length);
    switch (QChar::direction(c)) {
      case QChar::DirLRI:
      case QChar::DirRLI:
      case QChar::DirFSI:
        ++isolates;
        break;
      case QChar::DirPDI:
        if (isolates > 0) --isolates;
        break;
      case QChar::DirL:
        if (isolates == 0) return false;
        break;
      case QChar::DirR:
      case QChar::DirAL:
        if (isolates == 0) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

std::size_t FontEntry::lastBreak(std::string_view utf8, std::size_t after,
                                 std::size_t limit) const {
  const engine::BreakText stretch = engine::BreakTextOf(utf8);
  const std::vector<std::size_t>& offsets = stretch.offsets;
  const QString text = QString::fromRawData(reinterpret_cast<const QChar*>(stretch.units.data()),
                                            static_cast<qsizetype>(stretch.units.size()));
  auto last = std::upper_bound(offsets.begin(), offsets.end(), limit);
  const auto from = static_cast<qsizetype>(last - offsets.begin()) - 1;
  if (from <= 0) return 0;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
  finder.setPosition(from);
  if (!finder.isAtBoundary()) finder.toPreviousBoundary();
  const qsizetype at = finder.position();
  if (at <= 0 || at >= text.size()) return 0;
  const std::size_t bytes = offsets[static_cast<std::size_t>(at)];
  return bytes > after ? bytes : 0;
}

QString FontEntry::DisplayText(std::string_view utf8) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  for (QChar& ch : text) {
    if (engine::IsBlankedControl(ch.unicode())) ch = QLatin1Char(' ');
  }
  // A soft hyphen shows only where a line breaks, and a caption never does; the toolkit would
  // draw one that ends a line of its layout.
  text.remove(QChar(0xAD));
  return text;
}

const FontEntry::Line* FontEntry::laidOut(std::string_view utf8, bool rightToLeft) const {
  if (utf8.empty()) return nullptr;
  const auto found = index_.find(Key{utf8, rightToLeft});
  if (found != index_.end()) {
    kept_.splice(kept_.begin(), kept_, found->second);
    return &found->second->line;
  }
  if (kept_.size() >= kKept) {
    index_.erase(Key{kept_.back().text, kept_.back().rightToLeft});
    kept_.pop_back();
  }
  kept_.push_front(Kept{std::string(utf8), rightToLeft, {}});
  Line& line = kept_.front().line;
  const bool plain = !rightToLeft && plainAdvance64(utf8) >= 0;
  line.layout = LayOutLine(DisplayText(utf8), plain ? plain_ : shaped_, rightToLeft);
  if (line.layout->lineCount() > 0) {
    const QTextLine laid = line.layout->lineAt(0);
    line.width64 = std::llround(laid.horizontalAdvance() * 64);
    line.drop = static_cast<qreal>(metrics_.ascent()) - laid.ascent();
  }
  index_.emplace(Key{kept_.front().text, rightToLeft}, kept_.begin());
  return &line;
}

long long FontEntry::advance64(std::string_view utf8, bool rightToLeft) const {
  // Plain text is measured from cached advances: a feed of thousands of headlines is laid out
  // at once, and each is shaped only when it is first drawn.
  if (!rightToLeft) {
    const long long plain = plainAdvance64(utf8);
    if (plain >= 0) return plain;
  }
  const Line* line = laidOut(utf8, rightToLeft);
  return line != nullptr ? line->width64 : 0;
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
