#include "platform/win32/ToolTipControl.h"

namespace platform::win32 {

ToolTipControl::~ToolTipControl() {
  if (tip_ != nullptr) DestroyWindow(tip_);
}

void ToolTipControl::set(const std::string& text, const engine::Pixels& area) {
  if (tip_ == nullptr) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    if (tip_ == nullptr) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = 1;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 4096);
  }
  // Moving onto another label leaves the tool and starts the tooltip's delay again.
  SendMessageW(tip_, TTM_POP, 0, 0);
  text_ = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = owner_;
  tool.uId = 1;
  tool.rect = {area.left, area.top, area.right(), area.bottom()};
  SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_UPDATE, 0, 0);
}

void ToolTipControl::relay(UINT message, WPARAM wParam, LPARAM lParam) {
  if (tip_ == nullptr) return;
  MSG relayed{owner_, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

bool ToolTipControl::answer(LPARAM notice) {
  auto* header = reinterpret_cast<NMHDR*>(notice);
  if (tip_ == nullptr || header->hwndFrom != tip_ || header->code != TTN_GETDISPINFOW) return false;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(notice);
  info->lpszText = const_cast<wchar_t*>(text_.c_str());
  info->hinst = nullptr;
  return true;
}

}  // namespace platform::win32
