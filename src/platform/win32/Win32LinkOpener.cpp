#include "platform/win32/Win32LinkOpener.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/services/WebLink.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

bool Win32LinkOpener::Acceptable(std::string_view link) {
  if (!IsWebLink(link)) return false;
  // The handler's command line ends an argument at a quote or a line break.
  for (const char c : link) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"') return false;
  }
  return true;
}

bool Win32LinkOpener::Open(const std::string& link) {
  if (!Acceptable(link)) return false;
  // ShellExecuteW's result above 32 means the handler was started.
  const auto started = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", Widen(link).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return started > 32;
}

}  // namespace platform::win32
