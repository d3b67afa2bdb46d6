// The ticker program on Windows: creates the two windows, runs until the strip window closes
// or the session ends. The settings file is found as on every system (frmTicker's start-up).
#include <string>

#include "options/frmOptions.h"
#include "platform/Application.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"
#include "ticker/frmTicker.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::InitializeFormEngine();
  // An error that reaches the message loop is reported once and ends the program.
  platform::win32::SetFailureHandler([](const std::string& description) {
    MessageBoxW(nullptr, platform::win32::Widen("Run-time error: " + description).c_str(),
                platform::win32::Widen(APP_DISPLAY_NAME).c_str(), MB_OK | MB_ICONERROR);
  });

  frmOptions options;
  frmTicker ticker(options);
  options.Attach(ticker);
  ticker.OnProgramEnd = [] { platform::EndProgram(); };
  // The end of the session closes the strip window as any close does: it saves.
  platform::OnSessionEnd([&ticker] {
    if (!ticker.Closed()) ticker.Unload();
  });

  ticker.Show();
  if (ticker.Closed() || platform::Ending()) return 0;
  return platform::win32::RunMessageLoop();
}
