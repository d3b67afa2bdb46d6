// The ticker program on Windows: creates the system services and the two windows, and runs
// until the strip window closes or the session ends. The settings file is found as on every
// system (frmTicker's start-up).
#include <memory>
#include <string>

#include "app/ProgramSettings.h"
#include "app/RunStrip.h"
#include "platform/program/Application.h"
#include "platform/services/MsgBox.h"
#include "platform/services/RunningCopy.h"
#include "platform/services/SystemServices.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"

#include <shellapi.h>

namespace {

// --options, the one argument the Windows program takes (the Start menu's Options shortcut);
// others are ignored, as a Windows program does.
bool AsksForOptions() {
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (arguments == nullptr) return false;
  bool options = false;
  for (int i = 1; i < count; ++i) options = options || std::wstring(arguments[i]) == L"--options";
  ::LocalFree(arguments);
  return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::LaterStart request;
  if (AsksForOptions()) request.wants = platform::LaterStart::Wants::Options;
  // One strip per settings file: a start while a copy with the same file runs hands that copy
  // the keyboard (or its options) and ends here, before it has a window or has read any
  // settings.
  const std::unique_ptr<platform::RunningCopy> runningCopy =
      platform::RunningCopy::Claim(ProgramRunningCopyKey(), request);
  if (!runningCopy) return 0;
  platform::InitializeFormEngine();

  platform::SystemServices system;
  const platform::Services services = system.services();
  // An error that reaches the message loop is reported once and ends the program. The report
  // goes before the services do: errors after that are not theirs.
  platform::win32::SetFailureHandler([&services](const std::string& description) {
    if (services.session.Ending()) return;
    services.msgBox.Show("Run-time error: " + description, platform::vbCritical);
    services.session.EndProgram();
  });
  struct Detach {
    ~Detach() { platform::win32::SetFailureHandler(nullptr); }
  } detach;

  return RunStrip(*runningCopy, services, request,
                  [] { return platform::win32::RunMessageLoop(); });
}
