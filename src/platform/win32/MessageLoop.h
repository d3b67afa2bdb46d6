// The message loop of the program and of any wait inside it (a download): keyboard messages
// of a form with controls go through the dialog manager first (Tab, Enter, Escape, access
// keys), everything else to its window.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/win32/Win32.h"

namespace platform::win32 {

// Hands one message retrieved from the queue to where it belongs.
void DispatchOne(MSG& message);

// Runs until WM_QUIT (EndProgram); returns its exit code.
int RunMessageLoop();

// Handles the messages waiting now, without waiting for more. Returns false once WM_QUIT has
// been seen (it is posted again for the outer loop).
bool PumpWaitingMessages();

// Makes every message loop return: the session's EndProgram, and the end after an error when
// no failure handler is set.
void EndMessageLoops();

// An error must not unwind through the system's frames: the window procedures and the timers
// catch what escapes a handler and hand it here, to the program's failure handler (which
// reports the first one and ends the program), or end the program when there is none.
void SetFailureHandler(std::function<void(const std::string& description)> handler);
void ReportFailure(std::exception_ptr error);

}  // namespace platform::win32
