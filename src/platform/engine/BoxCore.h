// A picture box's state and behaviour, whatever the window system. The box's logical
// rectangle may be far larger than any window (a long row of labels); only the part that
// shows inside the form is a native window, and moving the box sideways scrolls the pixels
// already drawn. The box draws its labels, finds the label under the pointer, keeps the
// pointer with a pressed control until its buttons are up, turns the second press of a
// double-click into the box's DblClick, chooses the pointer's shape and the tooltip, and
// gives a label that moves under a resting pointer the move it would get had the pointer
// moved onto it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/Accessibility.h"
#include "platform/engine/CaptionPieces.h"
#include "platform/engine/Lifetime.h"
#include "platform/engine/Surface.h"
#include "platform/forms/Font.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"

namespace platform::engine {

class FormCore;

class BoxCore final : public BoxEvents {
 public:
  BoxCore(FormCore& form, PictureBox& owner, const PictureBox::Definition& definition);
  ~BoxCore() override;
  BoxCore(const BoxCore&) = delete;
  BoxCore& operator=(const BoxCore&) = delete;

  PictureBox& owner() const { return owner_; }
  FormCore& form() const { return form_; }
  // The window system the box's form is made on.
  Surface& surface() const;
  NativeBox& native() const { return *native_; }
  // The box's window; null once its form has gone.
  NativeBox* nativeIfAny() const { return formGone_ ? nullptr : native_.get(); }
  // The form goes before the box: the box's window goes with the form's, and the box touches
  // neither again (it may still detach its labels and be destroyed).
  void formGone();
  const std::string& name() const { return name_; }
  unsigned dpi() const;
  // What a screen reader finds in the box.
  AccessibleModel& reader() { return reader_; }

  // The logical rectangle in the form's client twips.
  const RectTwips& area() const { return area_; }
  void setArea(const RectTwips& area);
  Color backColor() const { return backColor_; }
  void setBackColor(Color value);
  Color foreColor() const { return foreColor_; }
  const StdPicture& picture() const { return picture_; }
  void setPicture(const StdPicture& value);
  const std::string& toolTip() const { return toolTip_; }
  void setToolTip(const std::string& value);
  const Font& font() const { return font_; }
  void setFont(const Font& font) { font_ = font; }
  const MeasuringFont& measuringFont() const;

  // Places the native window over the part of the logical rectangle that shows in the form.
  void layOut();
  // That part in the form's client pixels; empty when nothing of the box shows.
  const Pixels& visiblePart() const { return visiblePart_; }
  // Where the window's pixel (0, 0) lies in the box's own pixels.
  int offsetX() const { return offsetX_; }
  int offsetY() const { return offsetY_; }
  // A label's rectangle in the window's pixels.
  Pixels localRect(const LabelState& label) const;

  void attach(LabelArray* labels);
  void detach(LabelArray* labels);
  // The label of the array that has the keyboard's focus, or -1.
  int focusedIndex(const LabelArray* labels) const;
  // The label arrays drawn in this box, back to front.
  const std::vector<LabelArray*>& labelArrays() const { return arrays_; }
  // Repaints what shows of the area (twips in the box's own coordinates).
  void labelsChanged(const RectTwips& area);
  // The caption of label index changed, or the label went (index -1: all of the array's).
  void captionChanged(const LabelArray* labels, int index);
  // A press and release of button (the left one unless said) on label index as the pointer
  // gives them, the pointer left where it is; false when the label is not loaded in this box.
  bool clickLabel(LabelArray* labels, int index, int button = vbLeftButton);

  // BoxEvents.
  void paint(Painter& painter, const Pixels& dirty) override;
  void pointer(FormEvents::Pointer kind, int button, int buttons, int modifiers, int x, int y,
               bool doubleClick) override;
  void captureLost() override { captured_ = false; }
  void pointerCrossed(bool inside) override;
  bool pointerInside() const { return pointerInside_; }
  // A press on the box or its labels keeps the pointer until its buttons are up.
  bool holdsPointer() const { return captured_; }

 private:
  friend class KeyboardFocus;  // presses the focused label as the pointer does
  // A label (its array and index) or, with no array, the box itself.
  struct Target {
    LabelArray* labels = nullptr;
    int index = -1;
    friend bool operator==(const Target&, const Target&) = default;
  };

  Twips twipsX(int x) const;
  Twips twipsY(int y) const;
  Target targetAt(Twips x, Twips y) const;
  const LabelState* labelOf(const Target& target) const;
  void press(int button, int buttons, int modifiers, Twips x, Twips y, bool doubleClick);
  // A press and release of button at x, y, as the pointer gives them.
  void click(const Target& target, int button, Twips x, Twips y);
  void deliver(const Target& target, FormEvents::Pointer kind, int button, int modifiers, Twips x,
               Twips y);
  void hover(const Target& target);
  void updateToolTip();
  void scheduleHoverCheck();
  void checkHover();
  void drawLabels(Painter& painter, const Pixels& dirty);

  FormCore& form_;
  PictureBox& owner_;
  std::string name_;
  RectTwips area_;
  Color backColor_;
  Color foreColor_;
  StdPicture picture_;
  std::string toolTip_;
  Font font_;
  Pixels visiblePart_;
  int offsetX_ = 0;
  int offsetY_ = 0;
  std::vector<LabelArray*> arrays_;
  std::vector<int> paintList_;
  Target capture_;
  bool captured_ = false;
  bool pointerInside_ = false;
  // The engine's window changes at the last press.
  std::uint64_t windowChangesAtPress_ = 0;
  Target hovered_;
  bool hoverKnown_ = false;
  bool customPointer_ = false;  // a label's own pointer shows, else the arrow
  std::string pointerIcon_;
  bool hoverCheckPending_ = false;
  // The pointer is off this box's window: the window system reported it leaving, or a look
  // found it elsewhere, and no event of it has come here since.
  bool pointerAway_ = false;
  static constexpr int kLookWhileAwayEvery = 10;
  int stepsAway_ = 0;
  CaptionCache captions_;
  bool formGone_ = false;
  AccessibleModel reader_{*this};  // before the window, which is handed it
  std::unique_ptr<NativeBox> native_;
  Lifetime lifetime_;
};

// The engine's side of a picture box.
BoxCore& CoreOf(const PictureBox& box);

}  // namespace platform::engine
