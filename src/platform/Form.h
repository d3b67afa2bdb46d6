// A top-level window of the form engine: position and size in screen twips, background
// colour, show and hide, a load handler run once before the first showing and a close
// handler that every close request passes through, whatever its source.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Handlers.h"
#include "platform/StdPicture.h"
#include "platform/Units.h"

namespace platform {

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

  explicit Form(const Definition& definition);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Outer position and size in screen twips (for a frameless window, the client area).
  Twips Left() const;
  void setLeft(Twips value);
  Twips Top() const;
  void setTop(Twips value);
  Twips Width() const;
  void setWidth(Twips value);
  Twips Height() const;
  void setHeight(Twips value);
  // Both edges at once, one move of the window.
  void Move(Twips left, Twips top);

  Color BackColor() const;
  void setBackColor(Color value);

  WindowHandle hWnd() const;

  // Runs the load handler first when it has not run yet. Brings the window back from the
  // minimised, maximised or full-screen state it may have been left in.
  void Show();
  void Hide();
  bool Visible() const;
  bool Loaded() const;
  // Runs the load handler (once) without showing the window.
  void EnsureLoaded();

  // Asks the window to close, as the program's own Unload: QueryUnload runs with
  // vbFormCode and, unless it cancels, the window closes. Returns true when it closed.
  bool Unload();
  // True once the window has closed.
  bool Closed() const;

  // Puts the window into the topmost band of the window stack, or back into the normal one.
  // Failures are ignored.
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
