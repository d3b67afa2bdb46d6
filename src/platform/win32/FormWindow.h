// The native window behind a Form. It keeps the form's geometry as the program set it,
// passes every close request through QueryUnload, paints the background and the images, and
// hosts the controls: their stacking, tab order, default and cancel buttons and commands.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Form.h"
#include "platform/Image.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class PictureBoxWindow;

class FormWindow final {
 public:
  FormWindow(Form& form, const Form::Definition& definition);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Every live form, oldest first.
  static std::vector<FormWindow*> All();
  // The form whose window this is, or null.
  static FormWindow* FromHandle(HWND hwnd);

  Form& form() const { return form_; }
  HWND handle() const { return hwnd_; }
  unsigned dpi() const { return DpiOf(hwnd_); }

  // Position of the outer frame and size of the client area, in twips.
  Twips left() const { return left_; }
  Twips top() const { return top_; }
  Twips clientWidth() const { return width_; }
  Twips clientHeight() const { return height_; }
  // The frame's extra width and height around the client area, in twips (0 when frameless).
  Twips frameExtraWidth() const;
  Twips frameExtraHeight() const;
  void setPosition(Twips left, Twips top);
  void setClientSize(Twips width, Twips height);
  // The client area in pixels.
  int clientPixelWidth() const;
  int clientPixelHeight() const;

  Color backColor() const { return backColor_; }
  void setBackColor(Color value);

  bool visible() const { return IsWindowVisible(hwnd_) != FALSE; }
  bool loaded() const { return loaded_; }
  void ensureLoaded();
  void showForm();
  void hideForm();
  bool closed() const { return closed_; }
  // Sends a close request that reaches QueryUnload with the given reason; true when the
  // window closed.
  bool requestClose(int unloadMode);
  void setTopmost(bool topmost);

  // Controls.
  void addImage(const Image& image);
  void addPictureBox(PictureBoxWindow* box);
  void removePictureBox(PictureBoxWindow* box);
  // Lays out the picture box and those behind it again.
  void pictureBoxChanged(PictureBoxWindow* box);
  const std::vector<PictureBoxWindow*>& pictureBoxes() const { return boxes_; }
  // A new child control: its identifier for WM_COMMAND, placed behind the earlier controls
  // and, when it takes the focus, into the tab order by its index. onCommand receives the
  // notification codes the control sends.
  int addControl(HWND control, int tabIndex, bool takesFocus,
                 std::function<void(int code)> onCommand);
  void removeControl(HWND control);
  void setButtonRole(HWND button, bool isDefault, bool isCancel);

 private:
  static void RegisterClassOnce();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  DWORD style() const;
  DWORD exStyle() const;
  SIZE frameExtra(unsigned dpi) const;
  void applyGeometry(bool move, bool size);
  void centreOnScreen();
  void placeByWindowSystem();
  void takeKeyboard();
  void layOutPictureBoxes(std::size_t from);
  void paint();
  void onClose();
  void onMoved();
  void onCommand(WPARAM wParam, LPARAM lParam);
  void deliverMouse(const MouseHandler& handler, int button, WPARAM wParam, LPARAM lParam);
  int defaultButtonId() const;

  Form& form_;
  HWND hwnd_ = nullptr;
  BorderStyle borderStyle_;
  StartUpPosition startUpPosition_;
  bool showInTaskbar_;
  bool activateOnShow_;
  Twips left_ = 0;
  Twips top_ = 0;
  Twips width_ = 0;
  Twips height_ = 0;
  Color backColor_;
  bool positionSet_ = false;
  bool shownOnce_ = false;
  bool loaded_ = false;
  bool closed_ = false;
  bool applying_ = false;  // the engine itself is moving the window
  int closeReason_ = vbFormControlMenu;
  int buttonsHeld_ = 0;
  std::vector<Image::Definition> images_;
  std::vector<PictureBoxWindow*> boxes_;
  struct Control {
    HWND hwnd;
    int id;
    int tabIndex;
    bool takesFocus;
    bool isDefault;
    bool isCancel;
    std::function<void(int)> onCommand;
  };
  std::vector<Control> controls_;
  int nextControlId_ = 100;
  HWND lastFocus_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace platform::win32
