// The signals that tell a program to end: SIGTERM (the session at log-out, service managers),
// SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal went away).
#pragma once

#include <functional>

namespace platform {

// From now on each of the three signals calls handler on the user-interface thread, from the
// event loop (never inside the signal itself), so it may do anything a window event may.
// Call it once the application object exists. A signal the program was started with set to
// be ignored (nohup, a background job) stays ignored. A later call replaces the handler.
// Returns false when the signals cannot be caught (the system refused the channel or the
// handler); they then end the program at once, as they would have without this call.
bool OnTerminationSignal(std::function<void()> handler);

}  // namespace platform
