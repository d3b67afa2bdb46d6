// A form's top-level window: its styles and frame, its place on the desktop and its state as
// the window system reports them, and the native controls it hosts (their stacking and
// commands). The form engine decides everything else, its controls' keyboard included.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/engine/Lifetime.h"
#include "platform/engine/Surface.h"
#include "platform/forms/Form.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

class FormWindow final : public Win32Window<engine::NativeForm> {
 public:
  FormWindow(const Form::Definition& definition, engine::FormEvents& events);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  // The window's handle as the engine knows it, beside the message handler below.
  using Win32Window::handle;

  // The form whose window this is, or null for any other window.
  static FormWindow* FromHandle(HWND hwnd);

  HWND hwnd() const { return hwnd_; }

  // A new child control: its identifier for WM_COMMAND, placed behind the earlier controls.
  // onCommand receives the notification codes the control sends.
  int addControl(HWND control, std::function<void(int code)> onCommand);
  void removeControl(HWND control);
  // Hands a keyboard message for one of the form's windows to the engine, then to the dialog
  // manager (access keys, an open list); false when neither used it.
  bool dialogMessage(MSG& message);

  // engine::NativeForm.
  engine::Pixels frameExtra() const override;
  void moveTo(int x, int y) override;
  void resizeClient(int width, int height) override;
  engine::Pixels frameNow() const override;
  // Windows lets a program move its own windows: a drag never needs the window manager.
  bool startSystemMove() override { return false; }
  bool askPlacement(int, int) override { return false; }
  void show(bool activate) override;
  void hide() override;
  bool shown() const override { return IsWindowVisible(hwnd_) != FALSE; }
  void restore(bool activate) override;
  void activate() override;
  void takeKeyboard(const std::string& startupId) override;
  bool active() const override { return GetForegroundWindow() == hwnd_; }
  void giveKeyboardTo(WindowHandle window) override;
  void showFocusCues() override {
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }
  void setTopmost(bool topmost) override;
  void close() override { hide(); }
  void setReaderName(const std::string& name) override;
  engine::Pixels workAreaNear(const engine::NativeForm* other) const override;

 private:
  struct Control {
    HWND hwnd;
    int id;
    std::function<void(int)> onCommand;
  };

  template <class Window>
  friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  // A pointer message, reported to the engine; false for any other message.
  bool pointerMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void dpiChanged(LPARAM lParam);
  void setIcons();
  bool activationChanged(WPARAM wParam, LPARAM lParam);
  bool placeByWindowSystem();
  void reportMoved();
  void reportSize(WPARAM type);
  void onCommand(WPARAM wParam, LPARAM lParam);

  engine::FormEvents& events_;
  DWORD style_;
  DWORD exStyle_;
  bool framed_;
  bool shownOnce_ = false;
  bool moved_ = false;          // the engine placed the window
  bool trackingLeave_ = false;  // WM_MOUSELEAVE asked for since the pointer came
  // The state the window system last reported.
  enum class SizeState { Normal, Minimised, Maximised };
  SizeState sizeState_ = SizeState::Normal;
  std::vector<Control> controls_;
  std::vector<StdPicture> icons_;  // the large one first, the small one last
  int nextControlId_ = 100;
  // Tells the engine that window (any program's) has or just had the keyboard.
  void reportKeyboardWith(HWND window);
  engine::Lifetime lifetime_;
};

}  // namespace platform::win32
