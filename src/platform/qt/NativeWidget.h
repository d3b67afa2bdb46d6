// What a form's window and a picture box's window do alike over a toolkit widget: their
// identity, repaints, the pointer's shape, the tooltip, where the pointer is, and drawing.
#pragma once

#include <QEvent>
#include <QHelpEvent>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "platform/engine/Surface.h"

namespace platform {

inline QRect ToQRect(const engine::Pixels& r) { return QRect(r.left, r.top, r.width, r.height); }
inline engine::Pixels FromQRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The window's identity for WindowFromPoint.
inline WindowHandle HandleOf(const QWidget* widget) {
  return reinterpret_cast<WindowHandle>(widget);
}

// A tooltip's text as it stands, on the lines it has, never read as markup.
QString PlainToolTip(const std::string& text);
// Shows the text while the help event's point lies inside area, hides any tooltip otherwise.
void ShowToolTip(QWidget* widget, QHelpEvent* event, const QString& text, const QRect& area);
void HideToolTip();
engine::PointerNow PointerNowOver(const QWidget* widget);
void SetPointerShape(QWidget* widget, const StdPicture* custom);

// Drawing on the widget during its paint event.
std::unique_ptr<engine::Painter> PainterOn(QWidget* widget);

template <class Native>
class NativeWidget : public QWidget, public Native {
 public:
  using QWidget::QWidget;

  WindowHandle handle() const override { return HandleOf(this); }
  // The toolkit scales by itself.
  unsigned dpi() const override { return 96; }
  void invalidate(const engine::Pixels& area) override {
    if (area.empty()) {
      update();
    } else {
      update(ToQRect(area));
    }
  }
  void setPointerShape(const StdPicture* custom) override { SetPointerShape(this, custom); }
  void setToolTip(const std::string& text, const engine::Pixels& area) override {
    QString tip = PlainToolTip(text);
    if (tip == toolTip_ && ToQRect(area) == toolTipArea_) return;
    toolTip_ = std::move(tip);
    toolTipArea_ = ToQRect(area);
    HideToolTip();
  }
  // The toolkit keeps a pressed widget's pointer events with it by itself.
  void capturePointer(bool) override {}
  engine::PointerNow pointerNow() const override { return PointerNowOver(this); }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    ShowToolTip(this, static_cast<QHelpEvent*>(event), toolTip_, toolTipArea_);
    return true;
  }

 private:
  QString toolTip_;
  QRect toolTipArea_;
};

}  // namespace platform
