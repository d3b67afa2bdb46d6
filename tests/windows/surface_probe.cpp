// The surface tests' probe over Win32 under Wine: real windows on an X server with a window
// manager, messages sent as the window system sends them; and the test program's main.
#include <gtest/gtest.h>

#include <usp10.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/program/Application.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/ReaderObjects.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Surface.h"
#include "support/TestEngine.h"
#include "surface/SurfaceProbe.h"

platform::engine::Engine& TestEngine() {
  static platform::win32::Win32Surface surface;
  static platform::engine::Engine engine{surface};
  return engine;
}

namespace platform::surface_test {
namespace {

HWND H(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

WPARAM Held(int buttons) {
  WPARAM held = 0;
  if (buttons & vbLeftButton) held |= MK_LBUTTON;
  if (buttons & vbRightButton) held |= MK_RBUTTON;
  if (buttons & vbMiddleButton) held |= MK_MBUTTON;
  return held;
}

UINT Message(engine::FormEvents::Pointer kind, int button, bool doubleClick) {
  using Pointer = engine::FormEvents::Pointer;
  if (kind == Pointer::Move) return WM_MOUSEMOVE;
  const int index = button == vbLeftButton ? 0 : button == vbRightButton ? 1 : 2;
  static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr UINT kDouble[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
  static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  if (kind == Pointer::Up) return kUp[index];
  return doubleClick ? kDouble[index] : kDown[index];
}

// The tooltip control whose tool is the window, or null.
HWND ToolTipOf(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = s->owner;
        tool.uId = 1;
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 &&
            SendMessageW(hwnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != 0) {
          s->found = hwnd;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Win32Probe final : public SurfaceProbe {
 public:
  bool waitFor(const std::function<bool()>& ready) override {
    grabs_.clear();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready() && std::chrono::steady_clock::now() < end) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      win32::PumpWaitingMessages();
      grabs_.clear();
    }
    grabs_.clear();
    return ready();
  }

  engine::Pixels clientOnScreen(WindowHandle window) override {
    RECT r{};
    GetClientRect(H(window), &r);
    POINT at{0, 0};
    ClientToScreen(H(window), &at);
    return {at.x, at.y, r.right, r.bottom};
  }

  // From a copy of the client area taken at the first look after the last wait or event.
  Color pixel(WindowHandle window, int x, int y) override {
    auto found = grabs_.find(window);
    if (found == grabs_.end()) found = grabs_.emplace(window, Grab(H(window))).first;
    const Picture& grab = found->second;
    if (x < 0 || y < 0 || x >= grab.width || y >= grab.height) return CLR_INVALID & 0xFFFFFF;
    return grab.at(x, y);
  }
  double scale(WindowHandle window) override { return win32::DpiOf(H(window)) / 96.0; }

  void mouse(WindowHandle window, engine::FormEvents::Pointer kind, int button, int buttons, int x,
             int y, bool doubleClick) override {
    grabs_.clear();
    SendMessageW(H(window), Message(kind, button, doubleClick), Held(buttons),
                 MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
    win32::PumpWaitingMessages();
  }

  std::string toolTipAt(WindowHandle window, int x, int y) override {
    mouse(window, engine::FormEvents::Pointer::Move, 0, 0, x, y, false);
    HWND tip = ToolTipOf(H(window));
    if (tip == nullptr) return {};
    wchar_t shown[1024] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = H(window);
    tool.uId = 1;
    tool.lpszText = shown;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return win32::Narrow(shown);
  }

  // The control shows a tool only while the real pointer rests on it; the pointer goes back
  // after, so that no later window finds it.
  WindowHandle toolTipWindow(WindowHandle window, int x, int y) override {
    POINT was{}, at{x, y};
    GetCursorPos(&was);
    ClientToScreen(H(window), &at);
    SetCursorPos(at.x, at.y);
    mouse(window, engine::FormEvents::Pointer::Move, 0, 0, x, y, false);
    const auto tip = reinterpret_cast<WindowHandle>(ToolTipOf(H(window)));
    const bool shown = tip != 0 && waitFor([&] { return IsWindowVisible(H(tip)) != FALSE; });
    if (shown) pixel(tip, 0, 0);
    SetCursorPos(was.x, was.y);
    return shown ? tip : 0;
  }
  bool active(WindowHandle window) override { return GetActiveWindow() == H(window); }

  void key(WindowHandle form, int keyCode) override {
    grabs_.clear();
    const HWND focus = FocusIn(form);
    PostMessageW(focus != nullptr ? focus : H(form), WM_KEYDOWN, static_cast<WPARAM>(keyCode), 1);
    win32::PumpWaitingMessages();
  }

  std::string focusedText(WindowHandle form) override {
    const HWND focus = FocusIn(form);
    if (focus == nullptr) return {};
    const int length = GetWindowTextLengthW(focus);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(focus, text.data(), length + 1)));
    return win32::Narrow(text);
  }

  std::string selectedText(WindowHandle form) override {
    DWORD from = 0, to = 0;
    SendMessageW(FocusIn(form), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    return focusedText(form).substr(from, to - from);
  }

  Picture referenceText(const std::string& utf8, const Font& font, int height, Color fore,
                        Color back) override {
    LOGFONTW description{};
    description.lfHeight = -static_cast<LONG>(std::lround(font.size * 96 / 72.0));
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(description.lfFaceName, win32::Widen(font.name).c_str(), LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&description);
    const Picture picture = Drawn(utf8, handle, height, fore, back);
    DeleteObject(handle);
    return picture;
  }

  Picture referenceToolTipText(WindowHandle window, const std::string& utf8, int height) override {
    const HWND tip = ToolTipOf(H(window));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0));
    return Drawn(utf8, font, height,
                 static_cast<Color>(SendMessageW(tip, TTM_GETTIPTEXTCOLOR, 0, 0)),
                 static_cast<Color>(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)));
  }

  // The text laid out by Uniscribe in its plainest call in the direction of its first strong
  // character, fore on back; no pixels when it refuses the text.
  static Picture Drawn(const std::string& utf8, HFONT font, int height, Color fore, Color back) {
    const std::wstring text = win32::Widen(utf8);
    bool rightToLeft = false;
    for (const wchar_t c : text) {
      WORD type = 0;
      GetStringTypeW(CT_CTYPE2, &c, 1, &type);
      if (type == C2_LEFTTORIGHT || type == C2_RIGHTTOLEFT) {
        rightToLeft = type == C2_RIGHTTOLEFT;
        break;
      }
    }
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    SCRIPT_STRING_ANALYSIS analysis = nullptr;
    const DWORD flags = SSA_GLYPHS | SSA_FALLBACK | SSA_LINK | (rightToLeft ? SSA_RTL : 0);
    const int length = static_cast<int>(text.size());
    Picture picture{0, height, {}};
    if (ScriptStringAnalyse(dc, text.data(), length, length * 3 / 2 + 16, -1, flags, 0, nullptr,
                            nullptr, nullptr, nullptr, nullptr, &analysis) == S_OK) {
      picture.width = static_cast<int>(ScriptString_pSize(analysis)->cx);
      void* bits = nullptr;
      HBITMAP bitmap = Dib(dc, picture.width, height, &bits);
      SelectObject(dc, bitmap);
      const RECT all{0, 0, picture.width, height};
      HBRUSH brush = CreateSolidBrush(back);
      FillRect(dc, &all, brush);
      DeleteObject(brush);
      SetTextColor(dc, fore);
      SetBkMode(dc, TRANSPARENT);
      ScriptStringOut(analysis, 0, 0, 0, nullptr, 0, 0, FALSE);
      GdiFlush();
      picture.pixels = Pixels(bits, picture.width * height);
      ScriptStringFree(&analysis);
      DeleteDC(dc);
      DeleteObject(bitmap);
    } else {
      DeleteDC(dc);
    }
    return picture;
  }

  std::vector<std::string> readerView(WindowHandle window) override {
    IAccessible* box = ObjectOf(window);
    if (box == nullptr) return {};
    std::vector<std::string> view{Line(box, window, CHILDID_SELF)};
    LONG count = 0;
    box->get_accChildCount(&count);
    for (LONG i = 1; i <= count; ++i) view.push_back(Line(box, window, i));
    box->Release();
    return view;
  }

 private:
  std::map<WindowHandle, Picture> grabs_;

  static Picture Grab(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
    RECT r{};
    GetClientRect(window, &r);
    Picture grab{r.right, r.bottom, {}};
    HDC dc = GetDC(window);
    HDC copy = CreateCompatibleDC(dc);
    void* bits = nullptr;
    HBITMAP bitmap = Dib(copy, grab.width, grab.height, &bits);
    SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, grab.width, grab.height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    grab.pixels = Pixels(bits, grab.width * grab.height);
    DeleteDC(copy);
    DeleteObject(bitmap);
    ReleaseDC(window, dc);
    return grab;
  }

  // A top-down 32-bit bitmap, width at least 1.
  static HBITMAP Dib(HDC dc, int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = std::max(1, width);
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  }

  // A 32-bit bitmap's pixels as colours.
  static std::vector<Color> Pixels(const void* bits, int count) {
    std::vector<Color> colors;
    for (int i = 0; i < count; ++i) {
      const DWORD rgb = static_cast<const DWORD*>(bits)[i];
      colors.push_back(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
    return colors;
  }

  // The form's child window that has the focus, or null.
  static HWND FocusIn(WindowHandle form) {
    const HWND focus = GetFocus();
    return IsChild(H(form), focus) ? focus : nullptr;
  }

  // The window's object as a reader in this thread gets it; the test fails, not crashes, without.
  static IAccessible* ObjectOf(WindowHandle window) {
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    IAccessible* object = nullptr;
    const HRESULT hr =
        AccessibleObjectFromWindow(H(window), static_cast<DWORD>(OBJID_CLIENT),
                                   __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    EXPECT_EQ(hr, S_OK) << "no accessible object";
    return SUCCEEDED(hr) ? object : nullptr;
  }

  static std::string Line(IAccessible* box, WindowHandle window, LONG id) {
    VARIANT child, role, state;
    VariantInit(&role);
    VariantInit(&state);
    child.vt = VT_I4;
    child.lVal = id;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
      BSTR got = nullptr;
      const bool ok = (box->*get)(child, &got) == S_OK && got != nullptr;
      const std::string result = ok ? win32::Narrow(got) : std::string();
      SysFreeString(got);
      return result;
    };
    box->get_accRole(child, &role);
    box->get_accState(child, &state);
    std::string line = role.lVal == ROLE_SYSTEM_PANE      ? "pane"
                       : role.lVal == ROLE_SYSTEM_GRAPHIC ? "graphic"
                       : role.lVal == ROLE_SYSTEM_LINK    ? "link"
                                                          : "text";
    line += "|" + text(&IAccessible::get_accName);
    if (id == CHILDID_SELF) return line;
    std::string states;
    for (const auto& [bit, on, word] : {std::tuple{STATE_SYSTEM_LINKED, true, "link"},
                                        std::tuple{STATE_SYSTEM_INVISIBLE, false, "showing"},
                                        std::tuple{STATE_SYSTEM_FOCUSABLE, true, "focusable"},
                                        std::tuple{STATE_SYSTEM_FOCUSED, true, "focused"}}) {
      if (((state.lVal & bit) != 0) == on)
        states += (states.empty() ? "" : " ") + std::string(word);
    }
    LONG x = 0, y = 0, width = 0, height = 0;
    box->accLocation(&x, &y, &width, &height, child);
    POINT origin{0, 0};
    ClientToScreen(H(window), &origin);
    return line + "|" + text(&IAccessible::get_accDescription) + "|" + states + "|" +
           text(&IAccessible::get_accDefaultAction) + "|" + std::to_string(x - origin.x) + "," +
           std::to_string(y - origin.y) + "," + std::to_string(width) + "," +
           std::to_string(height);
  }
};

}  // namespace

SurfaceProbe& Probe() {
  static Win32Probe probe;
  return probe;
}

}  // namespace platform::surface_test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // As the program's manifest declares: windows in the display's own pixels at every scale.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  platform::InitializeFormEngine();
  return RUN_ALL_TESTS();
}
