// A picture box: a child window of a form with a background colour, a picture drawn at its
// top-left corner, a tooltip, a font used for measuring text, and pointer events. It also
// draws the windowless labels whose container it is.
//
// Its logical size may far exceed the window (a long row of labels); only the part that
// lies inside the form is a real window, and moving it sideways scrolls the pixels already
// drawn instead of repainting everything.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/Font.h"
#include "platform/forms/Handlers.h"
#include "platform/forms/StdPicture.h"
#include "platform/forms/Units.h"

namespace platform {

class Form;
class LabelArray;

class PictureBox {
 public:
  struct Definition {
    const char* name = "";
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    Color backColor = vbButtonFace;
    Color foreColor = vbWindowText;
    StdPicture picture{};
    std::string toolTipText{};
    Font font{};
  };

  // Controls created later stack behind those created earlier (the first is in front).
  PictureBox(Form& parent, const Definition& definition);
  ~PictureBox();
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  // Position and size in the form's client twips, as set; never fail. The box may reach past
  // the form's edges: only the part inside the form is shown.
  Twips Left() const;
  void setLeft(Twips value);
  Twips Top() const;
  void setTop(Twips value);
  Twips Width() const;
  void setWidth(Twips value);
  Twips Height() const;
  void setHeight(Twips value);

  // Colours as set; an unknown desktop scheme colour paints black.
  Color BackColor() const;
  void setBackColor(Color value);
  Color ForeColor() const;
  // The picture as set; an empty one, or one not compiled into the program, draws nothing.
  StdPicture Picture() const;
  void setPicture(const StdPicture& value);
  // The tooltip shown on hover, as plain text; empty shows none.
  std::string ToolTipText() const;
  void setToolTipText(const std::string& value);

  // The font used by TextWidth and TextHeight, as set; a face the system lacks is measured
  // and drawn in the nearest one it has.
  std::string FontName() const;
  void setFontName(const std::string& value);
  float FontSize() const;
  void setFontSize(float value);
  bool FontBold() const;
  void setFontBold(bool value);

  // Width of text on one line in this box's font, in twips of whole pixels (each line break
  // or tab counts as a blank); 0 for no text.
  Twips TextWidth(std::string_view text) const;
  // Height of text in this box's font, in twips: one line height per line, one for no text.
  Twips TextHeight(std::string_view text) const;

  // The window's identity, the one WindowFromPoint answers with; never 0 while the box lives.
  WindowHandle hWnd() const;

  // Event handlers. A press keeps the pointer until its release.
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;
  EventHandler DblClick;

  // The name the box was defined with.
  const std::string& name() const;

 private:
  friend struct EngineAccess;  // the back end's way to its own parts of the control
  friend class LabelArray;
  void attach(LabelArray* labels);
  void detach(LabelArray* labels);
  void labelsChanged(const RectTwips& area);
  void captionChanged(const LabelArray* labels, int index);
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
