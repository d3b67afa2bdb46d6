#include "platform/qt/PictureBoxWidget.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "platform/qt/Colors.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/PointerEvents.h"
#include "platform/qt/Twips.h"

namespace platform {

namespace {

// Labels show their caption on one line from the top-left corner; no mnemonic flag, so an
// "&" is drawn as it stands.
constexpr int kLabelTextFlags = Qt::TextSingleLine | Qt::AlignLeft | Qt::AlignTop;
// Pieces of a long caption are drawn this far, in pixels, beyond the dirty columns: glyphs
// may reach beyond their advance.
constexpr int kSliceMargin = 64;
// Long captions whose pieces are kept: more than a window's width of labels ever shows.
constexpr std::size_t kMaxCachedCaptions = 16;
// A tooltip shows at most this many characters, the last of them "…", in lines of at most
// kToolTipLine characters (cut after a blank where there is one).
constexpr qsizetype kToolTipMax = 500;
constexpr qsizetype kToolTipLine = 100;

// Lines longer than kToolTipLine cut in two or more.
QString Wrapped(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / kToolTipLine + 1);
  qsizetype lineStart = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text.at(i) == QLatin1Char('\n')) {
      out += text.mid(lineStart, i + 1 - lineStart);
      lineStart = i + 1;
      continue;
    }
    if (i - lineStart + 1 < kToolTipLine) continue;
    qsizetype cut = i + 1;
    for (qsizetype k = i; k > lineStart + kToolTipLine / 2; --k) {
      if (text.at(k) == QLatin1Char(' ')) {
        cut = k + 1;
        break;
      }
    }
    if (cut < text.size() && text.at(cut).isLowSurrogate()) --cut;
    out += text.mid(lineStart, cut - lineStart);
    out += QLatin1Char('\n');
    lineStart = cut;
    i = cut - 1;
  }
  out += text.mid(lineStart);
  return out;
}

// A tooltip's text is shown as it stands, on the lines it has, never read as markup: feed
// text could otherwise draw anything, local pictures included. Empty for an empty text.
QString ToolTipMarkup(const std::string& text) {
  if (text.empty()) return {};
  // No more of a long text than can show (4 bytes at most to a character).
  const std::size_t bytes = std::min(text.size(), static_cast<std::size_t>(kToolTipMax) * 4 + 4);
  QString plain = QString::fromUtf8(text.data(), static_cast<qsizetype>(bytes));
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (plain.size() > kToolTipMax) {
    qsizetype keep = kToolTipMax - 1;
    if (plain.at(keep - 1).isHighSurrogate()) --keep;
    plain.truncate(keep);
    plain += QChar(0x2026);
  }
  // Markup that says "this is the text, every blank and line break as it stands".
  return QLatin1String("<p style='white-space:pre'>") + Wrapped(plain).toHtmlEscaped() +
         QLatin1String("</p>");
}

}  // namespace

PictureBoxWidget::PictureBoxWidget(FormWidget* form, PictureBox& box,
                                   const PictureBox::Definition& definition)
    : QWidget(form),
      form_(form),
      box_(box),
      area_{definition.left, definition.top, definition.width, definition.height},
      backColor_(definition.backColor),
      foreColor_(definition.foreColor),
      picture_(definition.picture),
      toolTip_(definition.toolTipText),
      font_(definition.font) {
  setObjectName(QString::fromUtf8(definition.name));
  setMouseTracking(true);
  // Every pixel is painted: lets the toolkit scroll drawn pixels instead of repainting.
  setAttribute(Qt::WA_OpaquePaintEvent);
  form->addControl(this, 0, false);
  form->addPictureBox(this);
}

PictureBoxWidget::~PictureBoxWidget() {
  if (form_) {
    form_->removeControl(this);
    form_->removePictureBox(this);
  }
}

void PictureBoxWidget::setArea(const RectTwips& area) {
  const bool moved = area.left != area_.left || area.top != area_.top;
  area_ = area;
  if (form_) form_->pictureBoxChanged(this);
  if (moved) scheduleHoverCheck();
}

void PictureBoxWidget::setBackColor(Color value) {
  backColor_ = value;
  update();
}

void PictureBoxWidget::setPicture(const StdPicture& value) {
  picture_ = value;
  update();
}

void PictureBoxWidget::setFont(const Font& font) {
  font_ = font;
  measuringFont_ = nullptr;
}

const FontEntry& PictureBoxWidget::measuringFont() const {
  if (measuringFont_ == nullptr) measuringFont_ = &FontOf(font_);
  return *measuringFont_;
}

QRect PictureBoxWidget::logicalRect() const {
  return QRect(ToPixels(area_.left), ToPixels(area_.top), std::max(0, ToPixels(area_.width)),
               std::max(0, ToPixels(area_.height)));
}

void PictureBoxWidget::layOut() {
  if (!form_) return;
  const QRect logical = logicalRect();
  QRect part = logical.intersected(form_->rect());
  // A box in front that covers a whole side needs no pixels of this one under it; without
  // that overlap the toolkit can scroll this window's pixels.
  for (PictureBoxWidget* front : form_->pictureBoxes()) {
    if (front == this) break;
    const QRect cover = front->visiblePart_;
    if (cover.isEmpty() || part.isEmpty()) continue;
    if (cover.top() > part.top() || cover.bottom() < part.bottom()) continue;
    if (cover.left() <= part.left() && cover.right() >= part.left()) {
      part.setLeft(cover.right() + 1);
    } else if (cover.right() >= part.right() && cover.left() <= part.right()) {
      part.setRight(cover.left() - 1);
    }
  }
  if (part.width() <= 0 || part.height() <= 0) {
    visiblePart_ = QRect();
    hide();
    return;
  }
  const QPoint offset = part.topLeft() - logical.topLeft();
  if (part == visiblePart_ && !isHidden()) {
    const QPoint shift = offset_ - offset;
    offset_ = offset;
    if (!shift.isNull()) scroll(shift.x(), shift.y());
    return;
  }
  visiblePart_ = part;
  offset_ = offset;
  setGeometry(part);
  if (isHidden()) show();
  update();
}

void PictureBoxWidget::attach(LabelArray* labels) {
  arrays_.push_back(labels);
  update();
}

void PictureBoxWidget::detach(LabelArray* labels) {
  arrays_.erase(std::remove(arrays_.begin(), arrays_.end(), labels), arrays_.end());
  if (capture_.labels == labels) capture_ = {};
  if (hovered_.labels == labels) hovered_ = {};
  captionChanged(labels, -1);
  update();
}

void PictureBoxWidget::labelsChanged(const RectTwips& area) {
  if (visiblePart_.isEmpty() || area.width <= 0 || area.height <= 0) return;
  // Most labels of a long row lie outside the window: tell that in twips, cheaply.
  const double shownFrom = (offset_.x() - 2.0) * kTwipsPerPixel;
  const double shownTo = (offset_.x() + visiblePart_.width() + 2.0) * kTwipsPerPixel;
  if (area.left > shownTo || static_cast<double>(area.left) + area.width < shownFrom) return;
  // One pixel more on each side covers the rounding of the edges.
  const QRect pixels(ToPixels(area.left) - 1, ToPixels(area.top) - 1, ToPixels(area.width) + 3,
                     ToPixels(area.height) + 3);
  const QRect local = pixels.translated(-offset_).intersected(rect());
  if (!local.isEmpty()) update(local);
}

bool PictureBoxWidget::isAttached(const LabelArray* labels) const {
  return std::find(arrays_.begin(), arrays_.end(), labels) != arrays_.end();
}

QPointF PictureBoxWidget::twipsAt(const QPointF& local) const {
  return QPointF(ToTwips(local.x() + offset_.x()), ToTwips(local.y() + offset_.y()));
}

PictureBoxWidget::Target PictureBoxWidget::targetAt(const QPointF& twips) const {
  const auto x = static_cast<Twips>(twips.x());
  const auto y = static_cast<Twips>(twips.y());
  for (auto it = arrays_.rbegin(); it != arrays_.rend(); ++it) {
    const int index = (*it)->HitTest(x, y);
    if (index >= 0) return {*it, index};
  }
  return {};
}

const LabelState* PictureBoxWidget::labelOf(const Target& target) const {
  if (target.labels == nullptr || !isAttached(target.labels) ||
      !target.labels->IsLoaded(target.index)) {
    return nullptr;
  }
  return &target.labels->elements()[static_cast<std::size_t>(target.index)].state;
}

QRect PictureBoxWidget::localRect(const LabelState& label) const {
  return QRect(ToPixels(label.left), ToPixels(label.top), std::max(0, ToPixels(label.width)),
               std::max(0, ToPixels(label.height)))
      .translated(-offset_);
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect dirty = event->rect();
  painter.fillRect(dirty, ToQColor(backColor_));
  const QPixmap& pixmap = PixmapOf(picture_);
  if (!pixmap.isNull()) painter.drawPixmap(-offset_, pixmap);

  // Only the labels whose extent meets the dirty columns (one pixel of slack for rounding).
  const Twips from = ToTwips(dirty.left() + offset_.x() - 1);
  const Twips to = ToTwips(dirty.right() + 2 + offset_.x());
  for (LabelArray* labels : arrays_) {
    labels->LabelsBetween(from, to, paintList_);
    const FontEntry& font = FontOf(labels->font());
    for (const int index : paintList_) {
      const LabelState& label = labels->elements()[static_cast<std::size_t>(index)].state;
      const QRect box = localRect(label);
      if (!box.intersects(dirty) || label.caption.empty()) continue;
      painter.setFont(font.font());
      painter.setPen(ToQColor(label.foreColor));
      drawCaption(painter, dirty, box, label.caption, piecesOf(labels, index, font));
    }
  }
}

// Laying out a caption of megabytes on every tick of the scroll would take the whole
// processor: only the pieces near the dirty columns are drawn, each where it stands in the
// whole line.
void PictureBoxWidget::drawCaption(QPainter& painter, const QRect& dirty, const QRect& box,
                                   const std::string& caption,
                                   const std::vector<FontEntry::Piece>& pieces) {
  const long long from64 = static_cast<long long>(dirty.left() - box.left() - kSliceMargin) * 64;
  const long long to64 = static_cast<long long>(dirty.right() + 1 - box.left() + kSliceMargin) * 64;
  auto piece =
      std::upper_bound(pieces.begin(), pieces.end(), from64,
                       [](long long x64, const FontEntry::Piece& p) { return x64 < p.x64; });
  if (piece != pieces.begin()) --piece;
  painter.save();
  painter.setClipRect(box, Qt::IntersectClip);
  for (; piece != pieces.end() && piece->x64 < to64; ++piece) {
    const qreal left = box.left() + static_cast<qreal>(piece->x64) / 64;
    const QRectF at(left, box.top(), std::max<qreal>(1, box.right() + 1 - left), box.height());
    const std::string_view text(caption.data() + piece->begin, piece->end - piece->begin);
    painter.drawText(at, kLabelTextFlags | Qt::TextDontClip, FontEntry::DisplayText(text));
  }
  painter.restore();
}

const std::vector<FontEntry::Piece>& PictureBoxWidget::piecesOf(const LabelArray* labels, int index,
                                                                const FontEntry& font) {
  const std::string& caption = labels->elements()[static_cast<std::size_t>(index)].state.caption;
  if (caption.size() <= FontEntry::kWholeLimit) {
    wholePiece_.assign(1, FontEntry::Piece{0, caption.size(), 0});
    return wholePiece_;
  }
  ++piecesClock_;
  for (CaptionPieces& entry : piecesCache_) {
    if (entry.labels == labels && entry.index == index) {
      if (entry.data != caption.data() || entry.size != caption.size() || entry.font != &font) {
        entry.data = caption.data();
        entry.size = caption.size();
        entry.font = &font;
        font.layOut(caption, entry.pieces);
      }
      entry.used = piecesClock_;
      return entry.pieces;
    }
  }
  if (piecesCache_.size() >= kMaxCachedCaptions) {
    piecesCache_.erase(std::min_element(
        piecesCache_.begin(), piecesCache_.end(),
        [](const CaptionPieces& a, const CaptionPieces& b) { return a.used < b.used; }));
  }
  CaptionPieces& entry = piecesCache_.emplace_back(
      CaptionPieces{labels, index, caption.data(), caption.size(), &font, {}, piecesClock_});
  font.layOut(caption, entry.pieces);
  return entry.pieces;
}

void PictureBoxWidget::captionChanged(const LabelArray* labels, int index) {
  piecesCache_.erase(std::remove_if(piecesCache_.begin(), piecesCache_.end(),
                                    [&](const CaptionPieces& entry) {
                                      return entry.labels == labels &&
                                             (index < 0 || entry.index == index);
                                    }),
                     piecesCache_.end());
}

bool PictureBoxWidget::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    showToolTip(static_cast<QHelpEvent*>(event));
    return true;
  }
  return QWidget::event(event);
}

bool PictureBoxWidget::showToolTip(QHelpEvent* event) {
  const Target target = targetAt(twipsAt(event->pos()));
  QString text;
  QRect area = rect();
  if (const LabelState* label = labelOf(target)) {
    text = ToolTipMarkup(label->toolTipText);
    area = localRect(*label);
  } else if (target.labels == nullptr) {
    text = ToolTipMarkup(toolTip_);
  }
  if (text.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
    return false;
  }
  QToolTip::showText(event->globalPos(), text, this, area);
  return true;
}

void PictureBoxWidget::hover(const Target& target) {
  if (!(target == hovered_)) {
    hovered_ = target;
    if (QToolTip::isVisible()) QToolTip::hideText();
  }
  const LabelState* label = labelOf(target);
  const bool custom = label != nullptr && label->mousePointer == vbCustom;
  const std::string icon = custom ? target.labels->mouseIcon().resource : std::string();
  if (custom == customPointer_ && icon == pointerIcon_) return;
  customPointer_ = custom;
  pointerIcon_ = icon;
  if (custom) {
    setCursor(CursorOf(target.labels->mouseIcon()));
  } else {
    unsetCursor();
  }
}

void PictureBoxWidget::scheduleHoverCheck() {
  if (hoverCheckPending_ || !isVisible()) return;
  hoverCheckPending_ = true;
  // As a window system does, after the move has been handled: handlers run one at a time.
  QTimer::singleShot(0, this, [this] {
    hoverCheckPending_ = false;
    checkHover();
  });
}

void PictureBoxWidget::checkHover() {
  // A held button keeps the pointer's events with the control that was pressed.
  if (!isVisible() || captured_ || QGuiApplication::mouseButtons() != Qt::NoButton) return;
  const QPoint global = QCursor::pos();
  // Only when the pointer is over this very box: not over a control in front of it, nor over
  // another program's window that covers it.
  if (QApplication::widgetAt(global) != this) return;
  const QPointF twips = twipsAt(mapFromGlobal(QPointF(global)));
  const Target target = targetAt(twips);
  if (target == hovered_) return;
  hover(target);
  deliver(target, Kind::Move, 0, ShiftValue(QGuiApplication::keyboardModifiers()), twips);
}

void PictureBoxWidget::deliver(const Target& target, Kind kind, int button, int shift,
                               const QPointF& twips) {
  const auto x = static_cast<Twips>(twips.x());
  const auto y = static_cast<Twips>(twips.y());
  if (target.labels != nullptr) {
    // A label that went away while it held the pointer gets nothing more.
    const LabelState* label = labelOf(target);
    if (label == nullptr) return;
    const IndexedMouseHandler& handler = kind == Kind::Down   ? target.labels->MouseDown
                                         : kind == Kind::Move ? target.labels->MouseMove
                                                              : target.labels->MouseUp;
    if (!handler) return;
    IndexedMouseHandler call = handler;
    call(target.index, button, shift, x - label->left, y - label->top);
    return;
  }
  const MouseHandler& handler = kind == Kind::Down   ? box_.MouseDown
                                : kind == Kind::Move ? box_.MouseMove
                                                     : box_.MouseUp;
  if (!handler) return;
  MouseHandler call = handler;
  call(button, shift, x, y);
}

void PictureBoxWidget::press(QMouseEvent* event, bool doubleClick) {
  event->accept();
  const int button = ButtonValue(event->button());
  if (button == 0) return;
  const QPointF twips = twipsAt(event->position());
  // The first button pressed decides which control holds the pointer until all are up.
  const bool firstButton = (event->buttons() & ~event->button()) == Qt::NoButton;
  if (firstButton || !captured_) {
    capture_ = targetAt(twips);
    captured_ = true;
  }
  const Target target = capture_;
  // WORKAROUND: the window system pairs two presses into a double-click by time and place
  // alone. When one of the program's windows was hidden, minimised or restored between them
  // (the first press opened a dialog that the person then minimised from its title bar, a
  // click only the window manager sees), the person did something else in between: this
  // press is a press of its own.
  if (doubleClick && FormWidget::WindowChanges() != windowChangesAtPress_) doubleClick = false;
  windowChangesAtPress_ = FormWidget::WindowChanges();
  // The second press of a double-click is a double-click, not a press: a label has no
  // double-click of its own, so it gets nothing (its link opens once per double-click).
  if (doubleClick && target.labels != nullptr) return;
  QPointer<PictureBoxWidget> self(this);
  deliver(target, Kind::Down, button, ShiftValue(event->modifiers()), twips);
  if (!self || !doubleClick || target.labels != nullptr) return;
  if (EventHandler handler = box_.DblClick) handler();
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* event) { press(event, false); }

void PictureBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) { press(event, true); }

void PictureBoxWidget::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  const QPointF twips = twipsAt(event->position());
  Target target;
  if (captured_ && event->buttons() != Qt::NoButton) {
    target = capture_;
  } else {
    captured_ = false;
    target = targetAt(twips);
    hover(target);
  }
  deliver(target, Kind::Move, ButtonsValue(event->buttons()), ShiftValue(event->modifiers()),
          twips);
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  const QPointF twips = twipsAt(event->position());
  const Target target = captured_ ? capture_ : targetAt(twips);
  if (event->buttons() == Qt::NoButton) captured_ = false;
  const int button = ButtonValue(event->button());
  if (button != 0) deliver(target, Kind::Up, button, ShiftValue(event->modifiers()), twips);
}

}  // namespace platform
