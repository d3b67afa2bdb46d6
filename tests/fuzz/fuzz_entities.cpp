// Fuzzes the field clean-ups and GetBetween. What holds for every input: no clean-up makes the
// text longer, text without the trigger comes back unchanged, CDATA unwrapping returns a part of
// its input, and escape decoding keeps valid UTF-8 valid.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "feed/GetBetween.h"
#include "feed/ParseRss.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, cp = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (trail & 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const bool hasAmpersand = text.find('&') != std::string_view::npos;

  for (const bool decodeAmp : {false, true}) {
    const std::string decoded = DecodeXmlEscapes(text, decodeAmp);
    Check(decoded.size() <= text.size());
    if (!hasAmpersand) Check(decoded == text);
    if (IsValidUtf8(text)) Check(IsValidUtf8(decoded));
  }

  const std::string ampersands = DecodeAmpersands(text);
  Check(ampersands.size() <= text.size());
  if (InStr(1, text, "&amp;", false) == 0) Check(ampersands == text);

  const std::string stripped = StripCData(text);
  Check(text.find(stripped) != std::string_view::npos);
  if (InStr(1, text, "[CDATA", false) == 0) Check(stripped == text);

  // The first two bytes, when present, serve as start and end tag for the rest.
  if (size >= 2) {
    const std::string_view rest = text.substr(2);
    for (const bool matchCase : {false, true}) {
      std::int32_t start = std::int32_t(size % 5);
      const std::int32_t startBefore = start;
      const std::string between = GetBetween(text.substr(0, 1), text.substr(1, 1), rest, start,
                                             matchCase);
      Check(start == (startBefore == 0 ? 1 : startBefore));
      Check(rest.find(between) != std::string_view::npos);
    }
  }
  return 0;
}
