// The program's life once it holds its settings file and has its services: the strip and its
// options dialog, the end of the session, and the back end's event loop until the strip closes.
#pragma once

#include <functional>

#include "platform/services/RunningCopy.h"
#include "platform/services/Services.h"

// Returns the program's exit code: the event loop's, or 0 when the strip closed before it ran.
// start is what this start asked for: with --options the dialog opens once the strip shows.
int RunStrip(platform::RunningCopy& runningCopy, const platform::Services& services,
             const platform::LaterStart& start, const std::function<int()>& runEventLoop);
