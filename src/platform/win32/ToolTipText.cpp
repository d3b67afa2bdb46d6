#include "platform/win32/ToolTipText.h"

namespace platform::win32 {

namespace {

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::wstring Wrapped(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / kToolTipLine + 1);
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') {
      out.append(text, lineStart, i + 1 - lineStart);
      lineStart = i + 1;
      continue;
    }
    // A line that ends with the text, however long, needs no break after it.
    if (i - lineStart + 1 < kToolTipLine || i + 1 == text.size()) continue;
    std::size_t cut = i + 1;
    for (std::size_t k = i; k > lineStart + kToolTipLine / 2; --k) {
      if (text[k] == L' ') {
        cut = k + 1;
        break;
      }
    }
    if (cut < text.size() && IsLow(text[cut])) --cut;
    out.append(text, lineStart, cut - lineStart);
    out += L'\n';
    lineStart = cut;
    i = cut - 1;
  }
  out.append(text, lineStart, std::wstring::npos);
  return out;
}

}  // namespace

std::wstring ToolTipText(std::wstring_view text) {
  if (text.empty()) return {};
  std::wstring plain;
  plain.reserve(std::min(text.size(), kToolTipMax + 1));
  for (std::size_t i = 0; i < text.size() && plain.size() <= kToolTipMax; ++i) {
    if (text[i] == L'\r') {
      plain += L'\n';
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      plain += text[i];
    }
  }
  if (plain.size() > kToolTipMax) {
    std::size_t keep = kToolTipMax - 1;
    if (IsHigh(plain[keep - 1])) --keep;
    plain.resize(keep);
    plain += L'\u2026';
  }
  return Wrapped(plain);
}

}  // namespace platform::win32
