// A control array of windowless labels inside a picture box. Element 0 comes from the
// form's definition and lives as long as the array; Load creates further elements as
// hidden copies of element 0 in its current state, Unload destroys them. Labels own no
// window: their container draws them and hands their pointer events on with the index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/forms/Font.h"
#include "platform/forms/Handlers.h"
#include "platform/forms/StdPicture.h"
#include "platform/forms/Units.h"
#include "text/SharedText.h"

namespace platform {

class PictureBox;
namespace engine {
class KeyboardFocus;
}

// The state of one label: a small value, not a window. The texts are shared, not copied: a
// label shows its item's caption without a copy, and a label made by Load starts with the same
// buffers as element 0. The font and the pointer image are the array's (see Definition).
struct LabelState {
  Twips left = 0;
  Twips top = 0;
  Twips width = 0;
  Twips height = 0;
  text::SharedText caption{};  // an "&" is shown as it stands, never as an access key
  text::SharedText toolTipText{};
  Color foreColor = 0x80000012;  // the scheme's button text colour, the default of labels
  // vbCustom shows the custom pointer image (the hand). Stored in 16 bits, as the forms store it:
  // a row of millions of labels is 8 bytes per label smaller.
  std::int16_t mousePointer = vbDefault;
  bool visible = true;
};

class LabelArray {
 public:
  // Every element has element 0's font and pointer image: one copy for the whole array.
  struct Definition {
    const char* name = "";
    LabelState element0{};
    Font font{};
    StdPicture mouseIcon{};  // shown by a label whose MousePointer is vbCustom
  };

  // A reference to one loaded element; every change repaints what it covers. Each read or
  // change throws std::out_of_range once the element has been unloaded.
  class Element {
   public:
    Twips Left() const { return s().left; }
    void setLeft(Twips v);
    Twips Top() const { return s().top; }
    void setTop(Twips v);
    Twips Width() const { return s().width; }
    void setWidth(Twips v);
    Twips Height() const { return s().height; }
    void setHeight(Twips v);
    const std::string& Caption() const { return s().caption; }
    void setCaption(const text::SharedText& v);
    const std::string& ToolTipText() const { return s().toolTipText; }
    void setToolTipText(const text::SharedText& v);
    Color ForeColor() const { return s().foreColor; }
    void setForeColor(Color v);
    int MousePointer() const { return s().mousePointer; }
    void setMousePointer(int v);
    bool Visible() const { return s().visible; }
    void setVisible(bool v);
    const std::string& FontName() const { return font().name; }
    float FontSize() const { return font().size; }
    bool FontBold() const { return font().bold; }
    const StdPicture& MouseIcon() const {
      s();
      return array_->mouseIcon_;
    }
    int Index() const { return index_; }

   private:
    friend class LabelArray;
    Element(LabelArray& array, int index) : array_(&array), index_(index) {}
    const LabelState& s() const;
    LabelState& change();
    const Font& font() const {
      s();
      return array_->font_;
    }
    LabelArray* array_;
    int index_;
  };

  LabelArray(PictureBox& container, const Definition& definition);
  ~LabelArray();
  LabelArray(const LabelArray&) = delete;
  LabelArray& operator=(const LabelArray&) = delete;

  // The loaded element at index; throws std::out_of_range for an index not loaded.
  Element operator()(int index);
  // Number of loaded elements (at least 1).
  int Count() const;
  // Largest loaded index (0 when only element 0 is loaded).
  int UBound() const;
  // True when element index is loaded; false for any other index, negative ones included.
  bool IsLoaded(int index) const;
  // Creates element index as a hidden copy of element 0; throws std::invalid_argument
  // when it is already loaded or negative, and passes on std::bad_alloc.
  void Load(int index);
  // Destroys element index; throws std::invalid_argument for element 0, which cannot be
  // unloaded, and std::out_of_range for an index not loaded.
  void Unload(int index);

  // Pointer events of the labels, with the label's index; X and Y in the label's twips.
  IndexedMouseHandler MouseDown;
  IndexedMouseHandler MouseMove;
  IndexedMouseHandler MouseUp;

  // For the container: every label slot (unloaded ones have loaded == false).
  struct Slot {
    LabelState state{};
    bool loaded = false;
  };
  const std::deque<Slot>& elements() const { return slots_; }
  // The font and the pointer image of every element.
  const Font& font() const { return font_; }
  const StdPicture& mouseIcon() const { return mouseIcon_; }
  // Index of the topmost visible label containing the point (twips in the container), or -1.
  int HitTest(Twips x, Twips y) const;
  // Fills out with the indexes, in increasing order, of the visible labels of non-zero width
  // whose horizontal extent meets [from, to) (twips in the container): what a repaint of
  // those columns has to draw.
  void LabelsBetween(Twips from, Twips to, std::vector<int>& out) const;
  const char* name() const { return name_; }
  // The label a person moved the keyboard focus to on the active window, or -1 for none (the
  // form engine's keyboard focus holds it).
  int FocusedIndex() const;

 private:
  void changed(int index, const RectTwips& before);
  void sortByLeft() const;
  // The container must outlive the array (declare the array after its picture box).
  PictureBox& container_;
  const char* name_;
  Font font_;
  StdPicture mouseIcon_;
  // A deque: a row of millions of labels grows without moving (and twice holding) the ones
  // already made.
  std::deque<Slot> slots_;
  int count_ = 0;
  // The visible labels ordered by left edge, and the widest of them: a point or a column
  // range is looked up by binary search. Rebuilt on the next lookup after a label moves,
  // changes width, appears or goes.
  mutable std::vector<int> byLeft_;
  mutable Twips widest_ = 0;
  mutable bool byLeftStale_ = true;
};

}  // namespace platform
