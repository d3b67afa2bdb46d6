#include "platform/engine/ToolTipText.h"

#include <vector>

namespace platform::engine {

namespace {

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The byte offsets where the characters of text start, and its end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuation(text[i]) || starts.empty() || i - starts.back() >= 4) starts.push_back(i);
  }
  starts.push_back(text.size());
  return starts;
}

std::string Wrapped(std::string_view text) {
  const std::vector<std::size_t> at = CharacterStarts(text);
  const std::size_t count = at.size() - 1;
  std::string out;
  out.reserve(text.size() + count / kToolTipLine + 1);
  std::size_t lineStart = 0;  // in characters
  for (std::size_t i = 0; i < count; ++i) {
    if (text[at[i]] == '\n') {
      out.append(text.substr(at[lineStart], at[i + 1] - at[lineStart]));
      lineStart = i + 1;
      continue;
    }
    // A line that ends with the text, however long, needs no break after it.
    if (i - lineStart + 1 < kToolTipLine || i + 1 == count) continue;
    std::size_t cut = i + 1;
    for (std::size_t k = i; k > lineStart + kToolTipLine / 2; --k) {
      if (text[at[k]] == ' ') {
        cut = k + 1;
        break;
      }
    }
    out.append(text.substr(at[lineStart], at[cut] - at[lineStart]));
    out += '\n';
    lineStart = cut;
    i = cut - 1;
  }
  out.append(text.substr(at[lineStart]));
  return out;
}

}  // namespace

std::string ToolTipText(std::string_view utf8) {
  if (utf8.empty()) return {};
  std::string plain;
  std::size_t characters = 0;
  std::size_t keepBytes = 0;  // the bytes of the first kToolTipMax - 1 characters
  for (std::size_t i = 0; i < utf8.size() && characters <= kToolTipMax; ++i) {
    const char byte = utf8[i];
    if (!IsContinuation(byte)) {
      if (characters == kToolTipMax - 1) keepBytes = plain.size();
      ++characters;
      if (characters > kToolTipMax) break;
    }
    if (byte == '\r') {
      plain += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      plain += byte;
    }
  }
  if (characters > kToolTipMax) {
    plain.resize(keepBytes);
    plain += "\xE2\x80\xA6";
  }
  return Wrapped(plain);
}

}  // namespace platform::engine
