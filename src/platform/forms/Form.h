// A top-level window of the form engine: position and size in screen twips, background
// colour, show and hide, a load handler run once before the first showing and a close
// handler that every close request passes through, whatever its source.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Handlers.h"
#include "platform/forms/StdPicture.h"
#include "platform/forms/Units.h"

namespace platform {

namespace engine {
class Engine;
}  // namespace engine

class Image;

enum class BorderStyle {
  None,             // no frame, no title bar, not resizable
  FixedToolWindow,  // thin title bar with a close box, not resizable, no icon
};

enum class StartUpPosition {
  WindowsDefault,  // where the window system puts a new window
  CenterScreen,    // centred on the screen at the first showing
};

class Form {
 public:
  struct Definition {
    const char* name = "";
    std::string caption{};
    BorderStyle borderStyle = BorderStyle::None;
    bool showInTaskbar = false;
    Twips clientWidth = 0;
    Twips clientHeight = 0;
    StartUpPosition startUpPosition = StartUpPosition::WindowsDefault;
    std::vector<StdPicture> icons{};  // the window icon in its sizes
    Color backColor = vbButtonFace;
    // The window takes the keyboard at every showing: it becomes the active window, restored
    // if it was minimised, with the focus on its first control in the tab order. A window
    // that handles no key shows without taking the keyboard from the window in use.
    bool activateOnShow = true;
  };

  // A form of the engine's run (the services' engine).
  Form(engine::Engine& engine, const Definition& definition);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The outer frame's left and top edges in screen twips (for a frameless window, the client
  // area's): where the program put the window, or where the user or the window manager has
  // moved it since. Setting them moves a shown window at once and a hidden one at its next
  // showing; a move the window manager refuses is not reported.
  Twips Left() const;
  void setLeft(Twips value);
  Twips Top() const;
  void setTop(Twips value);
  // The outer width and height in twips: the client size set plus the frame (no frame while
  // it is not yet known). Setting them resizes the client area; never fails.
  Twips Width() const;
  void setWidth(Twips value);
  Twips Height() const;
  void setHeight(Twips value);
  // Both edges at once, one move of the window; as setLeft and setTop.
  void Move(Twips left, Twips top);

  // The background colour; an unknown desktop scheme colour paints black.
  Color BackColor() const;
  void setBackColor(Color value);

  // The window's identity, the one WindowFromPoint answers with; never 0 while the form lives.
  WindowHandle hWnd() const;

  // Runs the load handler first when it has not run yet, then shows the window, bringing it
  // back from the minimised, maximised or full-screen state it may have been left in. Shows
  // nothing when the load handler destroyed the form or the program is ending.
  void Show();
  // Hides the window; it shows again where it stands now. Never fails.
  void Hide();
  // Shows the window as Show does and makes it the active one for a later start of the
  // program that the person made (startupId: the startup notification id the launcher handed
  // that start, "" for none), also over another program's window. A window with labels, the
  // strip, puts the keyboard focus on its first label that shows. A window manager that
  // refuses is not reported.
  void TakeKeyboard(const std::string& startupId);
  // True from Show until Hide or the close (a minimised window is still visible).
  bool Visible() const;
  // True once the load handler has run.
  bool Loaded() const;
  // Runs the load handler (once) without showing the window.
  void EnsureLoaded();

  // Asks the window to close, as the program's own Unload: QueryUnload runs with
  // vbFormCode and, unless it cancels, the window closes. Returns true when it closed,
  // false when QueryUnload refused.
  bool Unload();
  // True once the window has closed, until it is shown again.
  bool Closed() const;

  // Asks the window manager to keep the window above the others, or no longer; a hidden
  // window asks at its next showing. A window manager that does not honour it is not
  // reported.
  void SetTopmost(bool topmost);

  // Event handlers.
  EventHandler Load;
  QueryUnloadHandler QueryUnload;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;

 private:
  friend struct EngineAccess;  // the back end's way to its own parts of the control
  friend class Image;
  void addImage(const Image* image);
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
