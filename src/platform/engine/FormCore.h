// A form's state and behaviour, whatever the window system: its geometry in twips, the load,
// show, hide and close rules, which forms take the keyboard, centring on the screen the user
// works on, the background and images it paints, the picture boxes and controls it hosts, and
// what a reader calls it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/engine/DialogKeys.h"
#include "platform/engine/KeyboardFocus.h"
#include "platform/engine/Lifetime.h"
#include "platform/engine/Surface.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"

namespace platform::engine {

class BoxCore;
class Engine;

class FormCore final : public FormEvents {
 public:
  FormCore(Engine& engine, Form& owner, const Form::Definition& definition);
  ~FormCore() override;
  FormCore(const FormCore&) = delete;
  FormCore& operator=(const FormCore&) = delete;

  Engine& engine() const { return engine_; }
  Form& owner() const { return owner_; }
  NativeForm& native() const { return *native_; }
  unsigned dpi() const { return native_->dpi(); }

  // The frame's left and top edges in screen twips, and the client size.
  Twips left() const { return left_; }
  Twips top() const { return top_; }
  Twips clientWidth() const { return width_; }
  Twips clientHeight() const { return height_; }
  Twips frameExtraWidth() const;
  Twips frameExtraHeight() const;
  void setPosition(Twips left, Twips top);
  void setClientSize(Twips width, Twips height);
  // The client area in pixels.
  Pixels clientPixels() const;

  Color backColor() const { return backColor_; }
  void setBackColor(Color value);

  bool loaded() const { return loaded_; }
  void ensureLoaded();
  void show();
  // Shows the window and asks for the keyboard at a later start's request (Form::TakeKeyboard).
  void takeKeyboard(const std::string& startupId);
  void hide();
  bool visible() const { return native_->shown(); }
  bool closed() const { return closed_; }
  // A close request with the reason (vbFormCode, vbAppWindows): QueryUnload, then the close
  // unless it cancelled. True when the window closed.
  bool requestClose(int unloadMode);
  void setTopmost(bool topmost) { native_->setTopmost(topmost); }
  // True once the window system has reported the pointer leaving the form's windows and not
  // entering one since (see Engine::pointerKnownOutside).
  bool pointerKnownOutside() const;
  // Whether the window is the form's own or one of its picture boxes'.
  bool ownsWindow(WindowHandle window) const;
  // A crossing reported by one of the form's windows.
  void noteCrossing(bool inside);

  void addImage(const Image& image);
  void addBox(BoxCore* box);
  void removeBox(BoxCore* box);
  // Lays out the box and those behind it again (a box is cut where one in front covers a
  // whole side of it).
  void boxChanged(BoxCore* box);
  const std::vector<BoxCore*>& boxes() const { return boxes_; }
  KeyboardFocus& keyboardFocus() { return keyboardFocus_; }
  DialogKeys& dialogKeys() { return dialogKeys_; }

  // FormEvents.
  void paint(Painter& painter, const Pixels& dirty) override;
  void pointer(Pointer kind, int button, int buttons, int modifiers, int x, int y) override;
  bool closeRequested() override;
  void moved(int x, int y) override;
  void moveRefused(int x, int y) override;
  void pointerCrossed(bool inside) override;
  void mapped() override;
  void stateChanged() override;
  void dpiChanged() override;
  bool key(int keyCode, int modifiers, bool repeat) override;
  void activated() override;
  void deactivated() override;
  void keyboardWith(WindowHandle window, bool ours) override;

 private:
  void applyPosition();
  void centreOnScreen();
  void layOutBoxes(std::size_t from);
  bool pointerHeld() const;

  Engine& engine_;
  Form& owner_;
  StartUpPosition startUpPosition_;
  bool activateOnShow_;
  Twips left_ = 0;
  Twips top_ = 0;
  Twips width_ = 0;
  Twips height_ = 0;
  Color backColor_;
  bool positionSet_ = false;  // the program (or the first centring) placed the window
  bool shownOnce_ = false;
  // Centred at the first showing before the window manager framed the window: centred again
  // by the whole frame once it is mapped.
  bool centrePending_ = false;
  bool loaded_ = false;
  bool closed_ = false;
  int buttonsHeld_ = 0;
  bool pointerInside_ = false;
  bool leaveSeen_ = false;
  // The window system keeps the window where it is when the program moves it: a drag asks
  // the window manager to move it instead.
  bool movesRefused_ = false;
  // A later start asked for the keyboard: the first label takes the focus once it comes.
  bool focusFirstLabel_ = false;
  std::vector<Image::Definition> images_;
  std::vector<BoxCore*> boxes_;
  KeyboardFocus keyboardFocus_{*this};
  DialogKeys dialogKeys_;
  std::unique_ptr<NativeForm> native_;
  Lifetime lifetime_;
};

// The engine's side of a form.
FormCore& CoreOf(const Form& form);

}  // namespace platform::engine
