#include "platform/win32/Win32.h"

namespace platform::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), length);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

unsigned DpiOf(HWND hwnd) {
  unsigned dpi = hwnd != nullptr ? GetDpiForWindow(hwnd) : 0;
  if (dpi == 0) dpi = GetDpiForSystem();
  return dpi == 0 ? 96 : dpi;
}

COLORREF ColorRefOf(Color value) {
  if ((value & 0x80000000u) != 0) {
    const int index = static_cast<int>(value & 0x00FFFFFFu);
    if (index > COLOR_MENUBAR) return 0;
    return GetSysColor(index);
  }
  return static_cast<COLORREF>(value & 0x00FFFFFFu);
}

}  // namespace platform::win32
