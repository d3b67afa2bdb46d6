// The one running copy on Windows: the copy that owns the mutex "Local\<key>" (one per logon
// session) is the one; its hidden message window of class "TickerRunningCopy", named "<key>",
// hears a later start's request for the strip or the options. A copy that ends in any way leaves
// the mutex to the next start (abandoned, when it was killed).
#include "platform/services/RunningCopy.h"

#include <exception>
#include <utility>

#include "platform/win32/HiddenWindow.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

constexpr wchar_t kClassName[] = L"TickerRunningCopy";
// How long a later start keeps trying while the running copy owns the mutex but does not
// answer: it may not have made its window yet, or be saving on its way out.
constexpr ULONGLONG kPatienceMs = 5000;
constexpr UINT kAnswerMs = 2000;
constexpr DWORD kRetryMs = 50;
// The answer that says the copy shows (or will show) what was asked; what is asked goes in
// wParam. Windows has no startup notification id to pass.
constexpr LRESULT kShown = 1;
constexpr WPARAM kWantsStrip = 0;
constexpr WPARAM kWantsOptions = 1;

UINT ShowOptionsMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TickerShowOptions");
  return message;
}

// Hands the copy whose window is named name the request; true once it has said it shows it.
bool AskRunningCopy(const std::wstring& name, const LaterStart& request) {
  const HWND other = ::FindWindowExW(HWND_MESSAGE, nullptr, kClassName, name.c_str());
  if (other == nullptr || ShowOptionsMessage() == 0) return false;
  // Windows lets only the program the person works with take the foreground: this start
  // is it, and lends that right to the running copy.
  DWORD process = 0;
  ::GetWindowThreadProcessId(other, &process);
  ::AllowSetForegroundWindow(process);
  DWORD_PTR answer = 0;
  const WPARAM wants = request.wants == LaterStart::Wants::Options ? kWantsOptions : kWantsStrip;
  return ::SendMessageTimeoutW(other, ShowOptionsMessage(), wants, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kAnswerMs, &answer) != 0 &&
         static_cast<LRESULT>(answer) == kShown;
}

}  // namespace

struct RunningCopy::Impl {
  HANDLE mutex = nullptr;
  bool owned = false;
  HWND window = nullptr;
  std::function<bool(const LaterStart&)> handler;

  ~Impl() {
    win32::DestroyHiddenWindow(window);
    if (owned) ::ReleaseMutex(mutex);
    if (mutex != nullptr) ::CloseHandle(mutex);
  }

  void Listen(const std::wstring& name) {
    // Found by FindWindowExW among the message-only windows.
    window = win32::CreateHiddenWindow(win32::HiddenKind::MessageOnly, kClassName,
                                       &Impl::WindowProc, this, name.c_str());
    // A copy started with more rights (as administrator) still hears a start by the user.
    if (window != nullptr && ShowOptionsMessage() != 0) {
      ::ChangeWindowMessageFilterEx(window, ShowOptionsMessage(), MSGFLT_ALLOW, nullptr);
    }
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* impl = win32::HiddenWindowOwner<Impl>(hwnd, message, lParam);
    if (impl != nullptr && message != 0 && message == ShowOptionsMessage()) {
      try {
        LaterStart request;
        if (wParam == kWantsOptions) request.wants = LaterStart::Wants::Options;
        return impl->handler && impl->handler(request) ? kShown : 0;
      } catch (...) {
        win32::ReportFailure(std::current_exception());
        return 0;
      }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
};

RunningCopy::RunningCopy(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

RunningCopy::~RunningCopy() = default;

void RunningCopy::OnAsked(std::function<bool(const LaterStart&)> handler) {
  d->handler = std::move(handler);
}

std::unique_ptr<RunningCopy> RunningCopy::Claim(const std::string& key, const LaterStart& request) {
  auto impl = std::make_unique<Impl>();
  // This process as the one copy, or, without a lock or mutex, a copy that holds nothing.
  const auto run = [&impl] {
    return std::unique_ptr<RunningCopy>(new RunningCopy(std::move(impl)));
  };
  const std::wstring name = win32::Widen(key);
  impl->mutex = ::CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str());
  if (impl->mutex == nullptr) return run();
  const ULONGLONG deadline = ::GetTickCount64() + kPatienceMs;
  for (;;) {
    const DWORD state = ::WaitForSingleObject(impl->mutex, 0);
    if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED) {
      impl->owned = true;
      impl->Listen(name);
      return run();
    }
    if (state != WAIT_TIMEOUT) {
      ::CloseHandle(std::exchange(impl->mutex, nullptr));
      return run();
    }
    if (AskRunningCopy(name, request)) return nullptr;
    if (::GetTickCount64() >= deadline) return nullptr;
    ::Sleep(kRetryMs);
  }
}

}  // namespace platform
