#include "platform/program/Application.h"

#include <utility>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"

// The program's folder (AppPath, SetAppPath) is read in AppPath.cpp.

namespace platform {

void win32::EndMessageLoops() {
  // Every message loop, a message box's included, returns on WM_QUIT.
  PostQuitMessage(0);
}

void InitializeFormEngine() {
  static bool initialized = false;
  if (initialized) return;
  initialized = true;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
}

}  // namespace platform
