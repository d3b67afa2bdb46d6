// The running program: its folder, its end, and the end of the desktop session.
#pragma once

#include <functional>
#include <string>

namespace platform {

// The folder that holds the program's executable, without a trailing separator unless it
// is the file system's root. Tests may set another folder with SetAppPath.
std::string AppPath();
void SetAppPath(const std::string& folder);

// The platform's path separator ("/" here).
char PathSeparator();

// Ends the program at once: every event loop returns and no further event is handled; no
// window gets a close request. Never fails.
void EndProgram();
// True once EndProgram has been called.
bool Ending();

// Called when the desktop session ends (logout, shutdown).
void OnSessionEnd(std::function<void()> handler);

// Loads the fonts and their substitutes; called once after the application object exists.
void InitializeFormEngine();

}  // namespace platform
