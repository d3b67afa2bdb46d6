#include "platform/program/Application.h"

#include <utility>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Surface.h"

// The program's folder (AppPath, SetAppPath) is read in AppPath.cpp.

namespace platform {

namespace {

// Set once the program has been ended.
bool ending = false;

}  // namespace

void win32::EndMessageLoops() {
  ending = true;
  // Every message loop, a message box's included, returns on WM_QUIT.
  PostQuitMessage(0);
}

bool Ending() { return ending; }

void InitializeFormEngine() {
  static bool initialized = false;
  if (initialized) return;
  initialized = true;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  // Every form and control of the run is made on it.
  static win32::Win32Surface surface;
  engine::SetSurface(&surface);
}

}  // namespace platform
