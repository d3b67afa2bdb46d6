// The end of the desktop session, as the form engine handles it.
#pragma once

#include <functional>

namespace platform {

// Sends every open form a close request with the reason vbAppWindows, then calls the
// program's session-end handler. Runs once per run; later calls do nothing.
void EndSession();

// The handler EndSession calls last (set by OnSessionEnd).
void SetSessionEndHandler(std::function<void()> handler);

}  // namespace platform
