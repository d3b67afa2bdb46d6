#include "platform/win32/ReaderObjects.h"

namespace platform::win32 {

LRESULT HandToReader(IAccessible* object, WPARAM wParam) {
  // The objects live in the window's single-threaded apartment: the reader's calls arrive as
  // messages of the window's message loop. The apartment is made once, when a reader first
  // asks, so that a run without readers never loads COM's machinery.
  static const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)apartment;
  // WORKAROUND: __uuidof, not IID_IAccessible: mingw-w64's (10.0) oleacc import library defines
  // that symbol as an import thunk, which a link before the uuid library turns into garbage.
  const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, object);
  return FAILED(answer) ? 0 : answer;
}

HRESULT ReaderText(std::string_view utf8, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (utf8.empty()) return S_FALSE;
  const std::wstring text = Widen(utf8);
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace platform::win32
