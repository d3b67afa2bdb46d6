// What a surface test needs of a real window system beyond the form engine's own interface:
// where a window really is, the pixels it shows, events delivered the way the window system
// delivers them, the tooltip showing and the active window. Each surface's test program
// defines Probe() for its window system.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"
#include "platform/forms/Units.h"

namespace platform::surface_test {

// Pixels of a picture, row by row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;
  Color at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

class SurfaceProbe {
 public:
  virtual ~SurfaceProbe() = default;
  // Lets the window system deliver and paint what is pending until ready() holds or about five
  // seconds pass; returns ready().
  virtual bool waitFor(const std::function<bool()>& ready) = 0;
  // The window's client area on the screen, in pixels.
  virtual engine::Pixels clientOnScreen(WindowHandle window) = 0;
  // The colour (&H00BBGGRR) of a pixel of the window's client area as it shows now.
  virtual Color pixel(WindowHandle window, int x, int y) = 0;
  // The display's pixels to a pixel at 96 dots per inch where the window shows: 2 at 192.
  virtual double scale(WindowHandle window) = 0;
  // A press, move or release as the window system sends it to the window, at a point of its
  // client area (outside it while the window holds the pointer); buttons is the sum held after.
  virtual void mouse(WindowHandle window, engine::FormEvents::Pointer kind, int button, int buttons,
                     int x, int y, bool doubleClick = false) = 0;
  // Rests the pointer at the point until the window system shows the window's tooltip; returns
  // its text as shown ("" when none shows).
  virtual std::string toolTipAt(WindowHandle window, int x, int y) = 0;
  // Rests the pointer at the point until the window system shows the window's tooltip; returns
  // the tooltip's window, its pixels taken then (null when none shows).
  virtual WindowHandle toolTipWindow(WindowHandle window, int x, int y) = 0;
  // True when the window is the program's active window.
  virtual bool active(WindowHandle window) = 0;
  // A key pressed (Key codes) as the window system sends it to the form's window, to its
  // control that has the focus if one has.
  virtual void key(WindowHandle form, int keyCode) = 0;
  // The text of the form's control that has the focus ("" for none), and the part of it that
  // is selected.
  virtual std::string focusedText(WindowHandle form) = 0;
  virtual std::string selectedText(WindowHandle form) = 0;

  // What a screen reader is told of the window through the system's accessibility interface,
  // in the same words on every system: "role|name" for the window's own object, then
  // "role|name|description|states|action|x,y,w,h" for each child, places in the window's
  // pixels, states among "link showing focusable focused".
  virtual std::vector<std::string> readerView(WindowHandle window) = 0;

  // The text as the system's own text engine draws it in its plainest call, fore on back at 96
  // dots per inch in the font, in the direction of its first strong character: a picture
  // height pixels high and as wide as the system measures the text. What a label's caption and
  // a tooltip's lines are compared with.
  virtual Picture referenceText(const std::string& utf8, const Font& font, int height,
                                Color fore = 0xFFFFFF, Color back = 0x000000) = 0;
  // The same in the font and colours of the window's tooltip.
  virtual Picture referenceToolTipText(WindowHandle window, const std::string& utf8,
                                       int height) = 0;
};

SurfaceProbe& Probe();

}  // namespace platform::surface_test
