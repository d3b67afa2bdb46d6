// The toolkit window behind a PictureBox. It holds the box's logical rectangle, which may be
// far larger than any window, and is itself only the part of it that shows inside the form;
// it draws the box's labels and hands pointer events to them or to the box.
#pragma once

#include <QHelpEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/LabelArray.h"
#include "platform/PictureBox.h"
#include "platform/qt/Fonts.h"

namespace platform {

class FormWidget;

class PictureBoxWidget final : public QWidget {
 public:
  PictureBoxWidget(FormWidget* form, PictureBox& box, const PictureBox::Definition& definition);
  ~PictureBoxWidget() override;

  // The logical rectangle in the form's client twips.
  const RectTwips& area() const { return area_; }
  void setArea(const RectTwips& area);

  Color backColor() const { return backColor_; }
  void setBackColor(Color value);
  Color foreColor() const { return foreColor_; }
  const StdPicture& picture() const { return picture_; }
  void setPicture(const StdPicture& value);
  const std::string& toolTip() const { return toolTip_; }
  void setToolTip(const std::string& value) { toolTip_ = value; }
  const Font& font() const { return font_; }
  void setFont(const Font& font);
  const FontEntry& measuringFont() const;

  // Places the real window over the part of the logical rectangle that shows in the form.
  // When only the offset of that part changes, the pixels already drawn are scrolled.
  void layOut();
  // That part in the form's client pixels; empty when nothing of the box shows.
  QRect visiblePart() const { return visiblePart_; }
  // Where the window's pixel (0, 0) lies in the box's own pixels.
  QPoint offset() const { return offset_; }

  void attach(LabelArray* labels);
  void detach(LabelArray* labels);
  // The label arrays drawn in this box, back to front.
  const std::vector<LabelArray*>& labelArrays() const { return arrays_; }
  // Repaints what shows of the area (twips in the box's own coordinates).
  void labelsChanged(const RectTwips& area);
  // The caption of label index of the array changed, or the label went (index -1: all of
  // the array's labels).
  void captionChanged(const LabelArray* labels, int index);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // A label (its array and index) or, with no array, the box itself.
  struct Target {
    LabelArray* labels = nullptr;
    int index = -1;
    friend bool operator==(const Target&, const Target&) = default;
  };
  enum class Kind { Down, Move, Up };

  QRect logicalRect() const;
  QPointF twipsAt(const QPointF& local) const;
  Target targetAt(const QPointF& twips) const;
  bool isAttached(const LabelArray* labels) const;
  const LabelState* labelOf(const Target& target) const;
  QRect localRect(const LabelState& label) const;
  void press(QMouseEvent* event, bool doubleClick);
  void deliver(const Target& target, Kind kind, int button, int shift, const QPointF& twips);
  void hover(const Target& target);
  bool showToolTip(QHelpEvent* event);
  // After the box moved under a still pointer: the control now under it gets the move it
  // would get had the pointer moved onto it.
  void scheduleHoverCheck();
  void checkHover();
  void drawCaption(QPainter& painter, const QRect& dirty, const QRect& box,
                   const std::string& caption, const std::vector<FontEntry::Piece>& pieces);
  const std::vector<FontEntry::Piece>& piecesOf(const LabelArray* labels, int index,
                                                const FontEntry& font);

  QPointer<FormWidget> form_;
  PictureBox& box_;
  RectTwips area_;
  Color backColor_;
  Color foreColor_;
  StdPicture picture_;
  std::string toolTip_;
  Font font_;
  mutable const FontEntry* measuringFont_ = nullptr;
  QRect visiblePart_;
  QPoint offset_;
  std::vector<LabelArray*> arrays_;
  std::vector<int> paintList_;
  Target capture_;
  bool captured_ = false;
  // FormWidget::WindowChanges() at the last press.
  std::uint64_t windowChangesAtPress_ = 0;
  Target hovered_;
  bool customPointer_ = false;  // a label's own pointer shows, else the arrow
  std::string pointerIcon_;
  bool hoverCheckPending_ = false;
  // The pieces of the long captions drawn lately, by label; dropped when a caption changes.
  struct CaptionPieces {
    const LabelArray* labels;
    int index;
    const char* data;
    std::size_t size;
    const FontEntry* font;
    std::vector<FontEntry::Piece> pieces;
    unsigned long long used;
  };
  std::vector<CaptionPieces> piecesCache_;
  unsigned long long piecesClock_ = 0;
  std::vector<FontEntry::Piece> wholePiece_;
};

}  // namespace platform
