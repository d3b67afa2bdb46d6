// The modal message box with MessageBoxW.
#pragma once

#include <string>

#include "platform/services/Services.h"

namespace platform::win32 {

class Win32MsgBox final : public MsgBoxService {
 public:
  // caption: the application's display name, shown on every box.
  explicit Win32MsgBox(std::string caption);

  // Shows prompt over the thread's active window (over the desktop when there is none) with
  // style's icon and buttons (vbOKOnly, vbCritical and vbExclamation are MessageBoxW's own
  // values) and waits until it is closed. Returns the button pressed; vbOK when the box
  // could not be shown.
  int Show(const std::string& prompt, int style) override;

 private:
  std::string caption_;
};

}  // namespace platform::win32
