// What a screen reader finds in a picture box's window on Windows, through Microsoft Active
// Accessibility: the box, named by its tooltip, and one simple element per label of the form
// engine's model (platform/engine/Accessibility.h): a link or static text named by its caption
// and described by its tooltip, off screen where it does not show, with the left button's press
// as its default action. The object answers the window's WM_GETOBJECT and tells readers of
// changes with WinEvents. A reader may hold it after the window has gone: it then answers
// CO_E_OBJNOTCONNECTED.
#pragma once

#include "platform/win32/Win32.h"

#include <vector>

#include "platform/engine/Accessibility.h"

namespace platform::win32 {

class StripAccessibleObject final {
 public:
  // hwnd: the box's window, read at the first question (the window may not exist yet).
  StripAccessibleObject(const HWND& hwnd, engine::AccessibleModel& model)
      : hwnd_(hwnd), model_(model) {}
  // Cuts off every reader that still holds the object.
  ~StripAccessibleObject();
  StripAccessibleObject(const StripAccessibleObject&) = delete;
  StripAccessibleObject& operator=(const StripAccessibleObject&) = delete;

  // The answer to WM_GETOBJECT for the window's client area; 0 when it cannot be handed over.
  LRESULT answer(WPARAM wParam);
  // Whether a reader asked for the object, or used it, within the last minute.
  bool usedRecently() const;
  // Tells readers of the model's changes as WinEvents: a reorder when labels came or went (the
  // child ids change), else a name, description, state or place change of a label; the focus.
  void tell(const std::vector<engine::AccessibleEvent>& events);

 private:
  class Object;
  Object& object();

  const HWND& hwnd_;
  engine::AccessibleModel& model_;
  Object* object_ = nullptr;  // one reference, held from the first question on
};

}  // namespace platform::win32
