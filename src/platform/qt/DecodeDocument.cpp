// The character decoding of a fetched document: which encoding the bytes are in, and their
// conversion to UTF-8.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Inet.h"
#include "text/Ascii.h"

namespace platform {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// The blanks of a header value or an XML declaration.
constexpr std::string_view kSpace = " \t\r\n";

bool IsSpace(char c) { return kSpace.find(c) != std::string_view::npos; }

std::string_view Trim(std::string_view value) { return text::Trim(value, kSpace); }

// The charset parameter of a Content-Type value such as `text/xml; charset="utf-8"`.
// Parameters are split on semicolons outside quotes; a quoted value may hold
// backslash-escaped characters.
std::string CharsetOfContentType(std::string_view contentType) {
  std::size_t pos = contentType.find(';');
  while (pos != std::string_view::npos && pos < contentType.size()) {
    ++pos;
    const std::size_t equals = contentType.find_first_of("=;", pos);
    if (equals == std::string_view::npos) return {};
    if (contentType[equals] == ';') {
      pos = equals;
      continue;
    }
    const std::string name = text::AsciiLowered(Trim(contentType.substr(pos, equals - pos)));
    std::size_t i = equals + 1;
    while (i < contentType.size() && IsSpace(contentType[i])) ++i;
    std::string value;
    if (i < contentType.size() && contentType[i] == '"') {
      for (++i; i < contentType.size() && contentType[i] != '"'; ++i) {
        if (contentType[i] == '\\' && i + 1 < contentType.size()) ++i;
        value += contentType[i];
      }
      pos = contentType.find(';', i);
    } else {
      const std::size_t end = contentType.find(';', i);
      value = std::string(Trim(
          contentType.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i)));
      pos = end;
    }
    if (name == "charset") return std::string(Trim(value));
  }
  return {};
}

// The encoding named by an XML declaration at the start of the bytes (after an optional
// UTF-8 byte-order mark and white space). Only an ASCII-compatible declaration is read.
std::string EncodingOfXmlDeclaration(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  while (!bytes.empty() && IsSpace(bytes.front())) bytes.remove_prefix(1);
  if (!bytes.starts_with("<?xml")) return {};
  const std::size_t end = bytes.find("?>");
  const std::string_view declaration = bytes.substr(0, end);
  std::size_t pos = declaration.find("encoding");
  if (pos == std::string_view::npos) return {};
  pos += 8;
  while (pos < declaration.size() && IsSpace(declaration[pos])) ++pos;
  if (pos >= declaration.size() || declaration[pos] != '=') return {};
  ++pos;
  while (pos < declaration.size() && IsSpace(declaration[pos])) ++pos;
  if (pos >= declaration.size() || (declaration[pos] != '"' && declaration[pos] != '\'')) {
    return {};
  }
  const char quote = declaration[pos];
  const std::size_t close = declaration.find(quote, pos + 1);
  if (close == std::string_view::npos) return {};
  return std::string(Trim(declaration.substr(pos + 1, close - pos - 1)));
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (end - p < length) return false;
    if (p[1] < low || p[1] > high) return false;
    for (int k = 2; k < length; ++k) {
      if (p[k] < 0x80 || p[k] > 0xBF) return false;
    }
    p += length;
  }
  return true;
}

// Windows-1252 is decoded here rather than by the system's converters so that the last
// resort works the same everywhere; its five unassigned bytes map to the C1 controls, as
// browsers do.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    text.append(c >= 0x80 && c < 0xA0 ? QChar(kWindows1252High[c - 0x80]) : QChar(c));
  }
  return text;
}

enum class Family { Utf8, Utf16Le, Utf16Be, Windows1252, Other };

struct Encoding {
  Family family = Family::Other;
  std::string name;  // for Other: the name given to the system's converter
};

// The encoding a charset label stands for, or nothing when no converter knows it. Latin-1
// and ASCII labels are read as Windows-1252: documents so labelled routinely hold its
// quotation marks and dashes in 0x80-0x9F, and C1 controls are never what a feed meant.
std::optional<Encoding> EncodingOfLabel(std::string_view label) {
  const std::string name = text::AsciiLowered(Trim(label));
  if (name.empty()) return std::nullopt;
  if (name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8") {
    return Encoding{Family::Utf8, {}};
  }
  if (name == "utf-16" || name == "utf-16le" || name == "utf16" || name == "unicode" ||
      name == "ucs-2") {
    return Encoding{Family::Utf16Le, {}};
  }
  if (name == "utf-16be" || name == "unicodefffe") return Encoding{Family::Utf16Be, {}};
  if (name == "windows-1252" || name == "cp1252" || name == "x-cp1252" || name == "iso-8859-1" ||
      name == "iso8859-1" || name == "iso_8859-1" || name == "latin1" || name == "l1" ||
      name == "us-ascii" || name == "ascii" || name == "iso-ir-100" || name == "cp819" ||
      name == "ibm819") {
    return Encoding{Family::Windows1252, {}};
  }
  const QStringDecoder probe(name.c_str());
  if (!probe.isValid()) return std::nullopt;
  return Encoding{Family::Other, name};
}

QString Decode(std::string_view bytes, const Encoding& encoding) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  switch (encoding.family) {
    case Family::Windows1252:
      return DecodeWindows1252(bytes);
    case Family::Utf8: {
      QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
      return decoder.decode(view);
    }
    case Family::Utf16Le:
    case Family::Utf16Be: {
      QStringDecoder decoder(
          encoding.family == Family::Utf16Le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
          QStringDecoder::Flag::Stateless);
      // Stateless: an odd trailing byte becomes U+FFFD instead of waiting for more.
      return decoder.decode(view);
    }
    case Family::Other: {
      QStringDecoder decoder(encoding.name.c_str(), QStringDecoder::Flag::Stateless);
      return decoder.decode(view);
    }
  }
  return {};
}

// Lone surrogates (from broken UTF-16) become U+FFFD so that the result is valid UTF-8.
std::string ToUtf8(const QString& text) {
  QString clean = text;
  for (qsizetype i = 0; i < clean.size(); ++i) {
    const QChar c = clean.at(i);
    if (c.isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate()) {
      ++i;
    } else if (c.isSurrogate()) {
      clean[i] = QChar::ReplacementCharacter;
    }
  }
  const QByteArray utf8 = clean.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

// A byte-order mark is unambiguous, so it wins over a label that contradicts it (servers
// often add a default charset to every response).
std::optional<Family> FamilyOfBom(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return Family::Utf8;
  if (bytes.starts_with(kUtf16LeBom)) return Family::Utf16Le;
  if (bytes.starts_with(kUtf16BeBom)) return Family::Utf16Be;
  return std::nullopt;
}

std::size_t BomSize(Family family) {
  return family == Family::Utf8 ? kUtf8Bom.size() : kUtf16LeBom.size();
}

}  // namespace

std::string DecodeDocument(std::string bytes, const std::string& contentType) {
  if (const std::optional<Family> bom = FamilyOfBom(bytes)) {
    const std::string_view body = std::string_view(bytes).substr(BomSize(*bom));
    return ToUtf8(Decode(body, Encoding{*bom, {}}));
  }
  Encoding encoding{Family::Windows1252, {}};
  if (auto fromHeader = EncodingOfLabel(CharsetOfContentType(contentType))) {
    encoding = std::move(*fromHeader);
  } else if (auto declared = EncodingOfLabel(EncodingOfXmlDeclaration(bytes));
             // A declaration readable as ASCII cannot be in UTF-16, whatever it claims.
             declared && declared->family != Family::Utf16Le &&
             declared->family != Family::Utf16Be) {
    encoding = std::move(*declared);
  } else if (IsValidUtf8(bytes)) {
    return bytes;
  }
  if (encoding.family == Family::Utf8 && IsValidUtf8(bytes)) return bytes;
  return ToUtf8(Decode(bytes, encoding));
}

}  // namespace platform
