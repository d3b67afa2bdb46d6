#include "platform/qt/Fonts.h"

#include "platform/engine/Characters.h"

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

// The code point that starts at i and its length in bytes; U+FFFD for a malformed sequence,
// one byte long, as the toolkit decodes it.
char32_t DecodeAt(std::string_view utf8, std::size_t i, std::size_t& length) {
  const auto byte = static_cast<unsigned char>(utf8[i]);
  length = 1;
  if (byte < 0x80) return byte;
  std::size_t size = 0;
  char32_t c = 0;
  if (byte >= 0xC2 && byte <= 0xDF) {
    size = 2;
    c = byte & 0x1F;
  } else if ((byte & 0xF0) == 0xE0) {
    size = 3;
    c = byte & 0x0F;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    size = 4;
    c = byte & 0x07;
  } else {
    return 0xFFFD;
  }
  if (i + size > utf8.size()) return 0xFFFD;
  for (std::size_t k = 1; k < size; ++k) {
    const auto next = static_cast<unsigned char>(utf8[i + k]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (next & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[size] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  length = size;
  return c;
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

FontEntry::FontEntry(const QFont& font) : font_(font), metrics_(font_) {}

bool FontEntry::isMark(char32_t c) const {
  const QChar::Category category = QChar::category(c);
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

bool FontEntry::rightToLeft(std::string_view utf8) const {
  int isolates = 0;
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    const char32_t c = DecodeAt(utf8, i, length);
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
  // The text as the toolkit sees it, with the byte offset of each of its UTF-16 units.
  QString text;
  std::vector<std::size_t> offsets;
  text.reserve(static_cast<qsizetype>(utf8.size()));
  offsets.reserve(utf8.size() + 1);
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    char32_t c = DecodeAt(utf8, i, length);
    if (engine::IsBlankedControl(c)) c = ' ';
    const QString unit = QString::fromUcs4(&c, 1);
    text += unit;
    offsets.insert(offsets.end(), static_cast<std::size_t>(unit.size()), i);
  }
  offsets.push_back(utf8.size());
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
  Lines& lines = lines_[rightToLeft ? 1 : 0];
  auto found = lines.find(utf8);
  if (found == lines.end()) {
    if (lines_[0].size() + lines_[1].size() >= kKept) forgetOldest();
    Line line;
    line.layout = LayOutLine(DisplayText(utf8), font_, rightToLeft);
    if (line.layout->lineCount() > 0) {
      const QTextLine laid = line.layout->lineAt(0);
      line.width64 = std::llround(laid.horizontalAdvance() * 64);
      line.drop = static_cast<qreal>(metrics_.ascent()) - laid.ascent();
    }
    found = lines.emplace(std::string(utf8), std::move(line)).first;
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
