// The child window behind a PictureBox. It holds the box's logical rectangle, which may be
// far larger than any window, and is itself only the part of it that shows inside the form;
// it draws the box's labels with GDI, hands pointer events to them or to the box, and shows
// their tooltips.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/LabelArray.h"
#include "platform/PictureBox.h"
#include "platform/win32/Fonts.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class FormWindow;

class PictureBoxWindow final {
 public:
  PictureBoxWindow(FormWindow& form, PictureBox& box, const PictureBox::Definition& definition);
  ~PictureBoxWindow();
  PictureBoxWindow(const PictureBoxWindow&) = delete;
  PictureBoxWindow& operator=(const PictureBoxWindow&) = delete;

  HWND handle() const { return hwnd_; }
  // The form's display.
  unsigned dpi() const;

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
  const FontEntry& measuringFont() const { return FontOf(font_, dpi()); }

  // Places the window over the part of the logical rectangle that shows in the form. When
  // only the offset of that part changes, the pixels already drawn are scrolled and only the
  // exposed columns are painted.
  void layOut();
  // That part in the form's client pixels; empty when nothing of the box shows.
  const RECT& visiblePart() const { return visiblePart_; }
  // Where the window's pixel (0, 0) lies in the box's own pixels.
  POINT offset() const { return offset_; }

  void attach(LabelArray* labels);
  void detach(LabelArray* labels);
  // Repaints what shows of the area (twips in the box's own coordinates).
  void labelsChanged(const RectTwips& area);
  // The caption of label index changed, or the label went (index -1: all of the array's).
  void captionChanged(const LabelArray* labels, int index);

  // The tooltip control of this box (null until the box first shows) and the text it shows
  // for the pointer's place now, as it is handed to the control.
  HWND toolTipWindow() const { return toolTip_hwnd_; }
  const std::wstring& toolTipShown() const { return tipText_; }

 private:
  struct Target {
    LabelArray* labels = nullptr;
    int index = -1;
    friend bool operator==(const Target&, const Target&) = default;
  };
  enum class Kind { Down, Move, Up };

  static void RegisterClassOnce();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  RECT logicalRect() const;
  void twipsAt(int x, int y, Twips& tx, Twips& ty) const;
  Target targetAt(Twips x, Twips y) const;
  bool isAttached(const LabelArray* labels) const;
  const LabelState* labelOf(const Target& target) const;
  RECT localRect(const LabelState& label) const;
  void paint();
  void drawLabels(HDC dc, const RECT& dirty);
  const std::wstring& displayOf(const LabelArray* labels, int index, const FontEntry& font,
                                const std::vector<FontEntry::Piece>** pieces);
  void press(UINT message, WPARAM wParam, LPARAM lParam, bool doubleClick);
  void deliver(const Target& target, Kind kind, int button, int shift, Twips x, Twips y);
  void hover(const Target& target);
  void makeToolTip();
  void updateToolTip(const Target& target);
  void scheduleHoverCheck();
  void checkHover();

  FormWindow& form_;
  PictureBox& box_;
  HWND hwnd_ = nullptr;
  HWND toolTip_hwnd_ = nullptr;
  RectTwips area_;
  Color backColor_;
  Color foreColor_;
  StdPicture picture_;
  std::string toolTip_;
  Font font_;
  RECT visiblePart_{0, 0, 0, 0};
  POINT offset_{0, 0};
  std::vector<LabelArray*> arrays_;
  std::vector<int> paintList_;
  Target capture_;
  bool captured_ = false;
  Target hovered_;
  bool hoverKnown_ = false;
  bool customPointer_ = false;
  HCURSOR pointer_ = nullptr;
  bool hoverCheckPending_ = false;
  std::wstring tipText_;
  // The display text and pieces of the long captions drawn lately, by label.
  struct CaptionCache {
    const LabelArray* labels;
    int index;
    const char* data;
    std::size_t size;
    const FontEntry* font;
    std::wstring text;
    std::vector<FontEntry::Piece> pieces;
    unsigned long long used;
  };
  std::vector<CaptionCache> captions_;
  unsigned long long captionClock_ = 0;
  std::wstring shortText_;
  std::vector<FontEntry::Piece> wholePiece_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace platform::win32
