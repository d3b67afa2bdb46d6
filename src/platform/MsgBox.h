// The modal message box. Its caption is the application's display name.
#pragma once

#include <functional>
#include <string>

namespace platform {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;
inline constexpr int vbOK = 1;

// Shows the prompt with the icon and buttons that style names and waits until the user
// closes the box. Returns the button pressed (vbOK for an OK-only box); closed without a
// button, Cancel where the box has one. While the program is ending no box is shown and the
// answer is that of the first button.
int MsgBox(const std::string& prompt, int style);

// Tests replace the box with a recorder; an empty function puts the real box back.
void SetMsgBoxHook(std::function<int(const std::string& prompt, int style)> hook);

}  // namespace platform
