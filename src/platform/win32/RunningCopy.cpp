// The one running copy on Windows: the copy that owns the mutex "Local\<key>" (one per logon
// session) is the one; its hidden message window of class "TickerRunningCopy", named "<key>",
// hears a later start's request for the strip or the options. A copy that ends in any way leaves
// the mutex to the next start (abandoned, when it was killed).
#include "platform/services/CopyKey.h"

#include <exception>
#include <utility>

#include "platform/win32/HiddenWindow.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

constexpr wchar_t kClassName[] = L"TickerRunningCopy";
constexpr UINT kAnswerMs = 2000;
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

class MutexKey final : public CopyKey {
 public:
  explicit MutexKey(const std::string& key) : name_(win32::Widen(key)) {}
  ~MutexKey() override {
    win32::DestroyHiddenWindow(window_);
    if (owned_) ::ReleaseMutex(mutex_);
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
  }

  bool open() override {
    mutex_ = ::CreateMutexW(nullptr, FALSE, (L"Local\\" + name_).c_str());
    return mutex_ != nullptr;
  }

  Lock tryLock() override {
    const DWORD state = ::WaitForSingleObject(mutex_, 0);
    if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED) {
      owned_ = true;
      return Lock::Taken;
    }
    if (state == WAIT_TIMEOUT) return Lock::Held;
    ::CloseHandle(std::exchange(mutex_, nullptr));
    return Lock::Failed;
  }

  bool ask(const LaterStart& request) override { return AskRunningCopy(name_, request); }

  void listen() override {
    // Found by FindWindowExW among the message-only windows.
    window_ = win32::CreateHiddenWindow(win32::HiddenKind::MessageOnly, kClassName,
                                        &MutexKey::WindowProc, this, name_.c_str());
    // A copy started with more rights (as administrator) still hears a start by the user.
    if (window_ != nullptr && ShowOptionsMessage() != 0) {
      ::ChangeWindowMessageFilterEx(window_, ShowOptionsMessage(), MSGFLT_ALLOW, nullptr);
    }
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* key = win32::HiddenWindowOwner<MutexKey>(hwnd, message, lParam);
    if (key != nullptr && message != 0 && message == ShowOptionsMessage()) {
      try {
        LaterStart request;
        if (wParam == kWantsOptions) request.wants = LaterStart::Wants::Options;
        return key->asked(request) ? kShown : 0;
      } catch (...) {
        win32::ReportFailure(std::current_exception());
        return 0;
      }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  std::wstring name_;
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
  HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<CopyKey> CopyKeyFor(const std::string& key) {
  return std::make_unique<MutexKey>(key);
}

}  // namespace platform
