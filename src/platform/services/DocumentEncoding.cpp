#include "platform/services/DocumentEncoding.h"

#include <array>
#include <optional>

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

constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The encoding a charset label stands for, or nothing when no converter knows it.
std::optional<DocumentEncoding> EncodingOfLabel(std::string_view label,
                                                const KnowsEncoding& knows) {
  const std::string name = text::AsciiLowered(Trim(label));
  if (name.empty()) return std::nullopt;
  if (name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8") {
    return DocumentEncoding{EncodingFamily::Utf8, {}};
  }
  if (name == "utf-16" || name == "utf-16le" || name == "utf16" || name == "unicode" ||
      name == "ucs-2") {
    return DocumentEncoding{EncodingFamily::Utf16Le, {}};
  }
  if (name == "utf-16be" || name == "unicodefffe") {
    return DocumentEncoding{EncodingFamily::Utf16Be, {}};
  }
  if (name == "windows-1252" || name == "cp1252" || name == "x-cp1252" || name == "iso-8859-1" ||
      name == "iso8859-1" || name == "iso_8859-1" || name == "latin1" || name == "l1" ||
      name == "us-ascii" || name == "ascii" || name == "iso-ir-100" || name == "cp819" ||
      name == "ibm819") {
    return DocumentEncoding{EncodingFamily::Windows1252, {}};
  }
  if (!knows || !knows(name)) return std::nullopt;
  return DocumentEncoding{EncodingFamily::Other, name};
}

}  // namespace

// Parameters are split on semicolons outside quotes; a quoted value may hold
// backslash-escaped characters.
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

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 8);
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    const char32_t code = c >= 0x80 && c < 0xA0 ? kWindows1252High[c - 0x80] : c;
    if (code < 0x80) {
      text += static_cast<char>(code);
    } else if (code < 0x800) {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (code >> 12));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

// A byte-order mark is unambiguous, so it wins over a label that contradicts it (servers
// often add a default charset to every response).
DocumentEncoding ChooseDocumentEncoding(std::string_view bytes, std::string_view contentType,
                                        const KnowsEncoding& knows) {
  if (bytes.starts_with(kUtf8Bom)) {
    DocumentEncoding encoding{EncodingFamily::Utf8, {}, kUtf8Bom.size()};
    encoding.validUtf8 = IsValidUtf8(bytes.substr(kUtf8Bom.size()));
    return encoding;
  }
  if (bytes.starts_with(kUtf16LeBom)) {
    return DocumentEncoding{EncodingFamily::Utf16Le, {}, kUtf16LeBom.size()};
  }
  if (bytes.starts_with(kUtf16BeBom)) {
    return DocumentEncoding{EncodingFamily::Utf16Be, {}, kUtf16BeBom.size()};
  }
  DocumentEncoding encoding{EncodingFamily::Windows1252, {}};
  if (auto fromHeader = EncodingOfLabel(CharsetOfContentType(contentType), knows)) {
    encoding = std::move(*fromHeader);
  } else if (auto declared = EncodingOfLabel(EncodingOfXmlDeclaration(bytes), knows);
             declared && declared->family != EncodingFamily::Utf16Le &&
             declared->family != EncodingFamily::Utf16Be) {
    encoding = std::move(*declared);
  } else if (IsValidUtf8(bytes)) {
    return DocumentEncoding{EncodingFamily::Utf8, {}, 0, true};
  }
  if (encoding.family == EncodingFamily::Utf8) encoding.validUtf8 = IsValidUtf8(bytes);
  return encoding;
}

std::string DecodeWith(std::string bytes, std::string_view contentType, const KnowsEncoding& knows,
                       const ConvertToUtf8& convert) {
  const DocumentEncoding encoding = ChooseDocumentEncoding(bytes, contentType, knows);
  if (encoding.validUtf8) {
    // One copy of a document of up to 32 MiB at a time: one in UTF-8 is handed on as it is.
    if (encoding.bomSize > 0) bytes.erase(0, encoding.bomSize);
    return bytes;
  }
  const std::string_view body = std::string_view(bytes).substr(encoding.bomSize);
  if (encoding.family == EncodingFamily::Windows1252) return Windows1252ToUtf8(body);
  return convert(body, encoding);
}

}  // namespace platform
