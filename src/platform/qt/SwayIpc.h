// sway's command socket (the i3 IPC protocol), for what only sway can do with the program's
// X11 windows (platform/sway/SwayCommands.h). Each call connects, sends one message and
// waits a short while for the answer: a missing, silent or odd socket only makes it fail.
#pragma once

#include <string>

namespace platform {

// Whether the program runs in a sway session (sway names its socket in SWAYSOCK).
bool InSwaySession();

// Runs the commands; true when sway answered that every one of them succeeded.
bool RunSwayCommands(const std::string& commands);

// The text of the person's sway configuration file, "" when sway does not tell.
std::string SwayConfigText();

}  // namespace platform
