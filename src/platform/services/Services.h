// The system services the windows use, as interfaces: the program creates the real ones of
// its platform (SystemServices) and hands them down; tests hand in fakes that answer, fail or
// stall at once. No window reaches a service any other way.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/engine/Engine.h"
#include "platform/forms/Units.h"
#include "platform/services/Clock.h"
#include "platform/services/Inet.h"

namespace platform {

// The download of one document at a time.
class Download {
 public:
  virtual ~Download() = default;
  // Fetches url and returns its body as UTF-8 text, or why it failed. While it waits the
  // windows keep painting and the timers and events run. Fails with FetchFailure::Busy when
  // a fetch of this download is already waiting, and with Deferred when an automatic one
  // must wait for the server's time.
  virtual FetchResult OpenURL(const std::string& url, FetchOrigin origin) = 0;
  // True while a fetch waits.
  virtual bool StillExecuting() const = 0;
};

// Hands a link to the system's opener for its type (the web browser for a web address).
class LinkOpener {
 public:
  virtual ~LinkOpener() = default;
  // Starts the opener with link as its one argument, unchanged, without a shell and without
  // waiting. Returns false when the opener could not be started.
  virtual bool Open(const std::string& link) = 0;
};

// The modal message box (not "MessageBox", which Windows headers define as a macro); its caption is
// the application's display name.
class MsgBoxService {
 public:
  virtual ~MsgBoxService() = default;
  // Shows prompt with the icon and buttons style names (vbOKOnly, vbCritical, vbExclamation)
  // and waits until the user closes it. Returns the button pressed (vbOK for OK only).
  virtual int Show(const std::string& prompt, int style) = 0;
};

// The pointer and the window under it.
class Cursor {
 public:
  explicit Cursor(const engine::Engine& engine) : engine_(engine) {}
  virtual ~Cursor() = default;
  // Fills pt with the pointer's position in screen pixels. Returns false, leaving pt as it
  // was, when the position cannot be read.
  virtual bool GetCursorPos(PointApi& pt) const = 0;
  // The handle of our form or picture box under the screen point, another non-zero value for
  // a window that is none of ours, or 0 when no window is there.
  // WORKAROUND: XWayland (22.1) keeps reporting the last position the pointer had over an X
  // window after it went on to a native Wayland one: a window of ours whose form the window
  // system saw the pointer leave is not believed to be under it.
  WindowHandle WindowFromPoint(PointApi pt) const {
    const WindowHandle window = WindowAt(pt);
    return engine_.pointerKnownOutside(window) ? 0 : window;
  }

 protected:
  // What the window system finds under the point, as WindowFromPoint answers.
  virtual WindowHandle WindowAt(PointApi pt) const = 0;

 private:
  const engine::Engine& engine_;
};

// The screens' areas, for placing a window where the user can see it.
class Screens {
 public:
  virtual ~Screens() = default;
  // The full area of every screen, in screen twips; empty when none can be read.
  virtual std::vector<RectTwips> ScreenAreas() const = 0;
  // The available area (without panels) of the primary screen, in screen twips.
  virtual RectTwips PrimaryWorkArea() const = 0;
};

// The end of the desktop session and of the program.
class Session {
 public:
  virtual ~Session() = default;
  // handler runs when the desktop session ends (log-out, shut-down: once) and each time the
  // program is told to end by the system (a termination signal), always from the event loop;
  // it closes the windows, which save. Replaces any earlier one.
  virtual void OnEnd(std::function<void()> handler) = 0;
  // Ends the program: every event loop returns and no further event is handled.
  virtual void EndProgram() = 0;
  // True once EndProgram has been called.
  virtual bool Ending() const = 0;
};

// What the windows are handed.
struct Services {
  // The form engine the windows are made with.
  engine::Engine& engine;
  Download& download;
  LinkOpener& opener;
  MsgBoxService& msgBox;
  Clock& clock;
  Cursor& cursor;
  Screens& screens;
  Session& session;
};

}  // namespace platform
