#include "platform/win32/MessageLoop.h"

#include <utility>

#include "platform/win32/FormWindow.h"

namespace platform::win32 {

namespace {

std::function<void(const std::string&)>& FailureHandler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}

}  // namespace

void SetFailureHandler(std::function<void(const std::string&)> handler) {
  FailureHandler() = std::move(handler);
}

void ReportFailure(std::exception_ptr error) {
  std::string description = "unknown error";
  try {
    std::rethrow_exception(std::move(error));
  } catch (const std::exception& e) {
    description = e.what();
  } catch (...) {
  }
  // The handler reports it once and ends the program; without one the program just ends.
  if (std::function<void(const std::string&)> handler = FailureHandler()) {
    try {
      handler(description);
      return;
    } catch (...) {
    }
  }
  EndMessageLoops();
}

void DispatchOne(MSG& message) {
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && message.hwnd != nullptr) {
    FormWindow* form = FormWindow::FromHandle(GetAncestor(message.hwnd, GA_ROOT));
    if (form != nullptr && form->dialogMessage(message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int RunMessageLoop() {
  MSG message{};
  while (true) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    DispatchOne(message);
  }
  return static_cast<int>(message.wParam);
}

bool PumpWaitingMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    DispatchOne(message);
  }
  return true;
}

}  // namespace platform::win32
